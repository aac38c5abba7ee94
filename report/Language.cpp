#include "Language.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum class Match { None, English, German };

Match MatchLocaleName(const std::string& name) {
    const std::size_t nEnd = name.find_first_of("_.@-");
    const std::string language = name.substr(0, nEnd);
    if (language == "de") {
        return Match::German;
    }
    if (language == "en") {
        return Match::English;
    }
    return Match::None;
}

const char* NonEmpty(const char* psz) {
    return psz != nullptr && psz[0] != '\0' ? psz : nullptr;
}

}  // namespace

Language UserInterfaceLanguage(const EnvironmentReader& getEnv) {
    const char* pszLocale = NonEmpty(getEnv("LC_ALL"));
    if (pszLocale == nullptr) {
        pszLocale = NonEmpty(getEnv("LC_MESSAGES"));
    }
    if (pszLocale == nullptr) {
        pszLocale = NonEmpty(getEnv("LANG"));
    }
    if (pszLocale == nullptr || std::strcmp(pszLocale, "C") == 0 ||
        std::strcmp(pszLocale, "POSIX") == 0 || std::strncmp(pszLocale, "C.", 2) == 0) {
        return Language::English;
    }
    if (const char* pszList = NonEmpty(getEnv("LANGUAGE"))) {
        std::string list = pszList;
        std::size_t nStart = 0;
        while (nStart <= list.size()) {
            const std::size_t nColon = list.find(':', nStart);
            const std::string entry = list.substr(
                nStart, nColon == std::string::npos ? std::string::npos : nColon - nStart);
            switch (MatchLocaleName(entry)) {
                case Match::German:
                    return Language::German;
                case Match::English:
                    return Language::English;
                case Match::None:
                    break;
            }
            if (nColon == std::string::npos) {
                break;
            }
            nStart = nColon + 1;
        }
        return Language::English;
    }
    return MatchLocaleName(pszLocale) == Match::German ? Language::German : Language::English;
}

Language LanguageOfTag(const char* pszTag) {
    return pszTag != nullptr && std::strncmp(pszTag, "de-", 3) == 0 ? Language::German
                                                                    : Language::English;
}

const char* LanguageTagOf(Language language) {
    return language == Language::German ? "de-DE" : "en-US";
}

Language LanguageOfLangId(unsigned short wLangId) {
    return (wLangId & 0x3FF) == 0x07 ? Language::German : Language::English;
}
