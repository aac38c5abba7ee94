#include <cstdlib>

#include "Language.h"

Language UserInterfaceLanguage() {
    return UserInterfaceLanguage(
        [](const char* pszName) -> const char* { return std::getenv(pszName); });
}
