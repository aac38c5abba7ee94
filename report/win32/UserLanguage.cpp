#include "win32/WindowsApi.h"

#include "Language.h"

// The resources of a Windows program follow the user's UI language, not the environment.
Language UserInterfaceLanguage() {
    return LanguageOfLangId(::GetUserDefaultUILanguage());
}
