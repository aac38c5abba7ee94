#include <cstdlib>

#include "Language.h"

UiLanguage UserInterfaceLanguage() {
    return UserInterfaceLanguage(
        [](const char* pszName) -> const char* { return std::getenv(pszName); });
}
