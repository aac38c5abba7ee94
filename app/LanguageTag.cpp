#include "LanguageTag.h"

#include <cstring>

#include "resource.h"
#include "ui/Resources.h"

char g_szLanguage[170] = {};

void DetermineLanguageTag() {
    std::memset(g_szLanguage, 0, sizeof(g_szLanguage));
    const char* pszTag = ui::FindString(IDS_LANGUAGE);
    if (pszTag == nullptr || pszTag[0] == '\0') {
        pszTag = "en-US";
    }
    std::strncpy(g_szLanguage, pszTag, sizeof(g_szLanguage));
    g_szLanguage[sizeof(g_szLanguage) - 1] = '\0';
}
