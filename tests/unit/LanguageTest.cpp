#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Language.h"

namespace {

Language With(const std::map<std::string, std::string>& env) {
    return UserInterfaceLanguage([&env](const char* pszName) -> const char* {
        auto it = env.find(pszName);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(UserInterfaceLanguage, GermanForEveryGermanLocale) {
    for (const char* psz :
         {"de_DE.UTF-8", "de_AT.UTF-8", "de_CH", "de", "de_DE@euro", "de.UTF-8"}) {
        EXPECT_EQ(With({{"LANG", psz}}), Language::German) << psz;
    }
    for (const char* psz :
         {"en_US.UTF-8", "fr_FR.UTF-8", "C", "POSIX", "C.UTF-8", "", "deu", "dex_DE"}) {
        EXPECT_EQ(With({{"LANG", psz}}), Language::English) << psz;
    }
    EXPECT_EQ(With({}), Language::English);
}

TEST(UserInterfaceLanguage, ReadsTheVariablesInGettextOrder) {
    EXPECT_EQ(With({{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}}), Language::German);
    EXPECT_EQ(With({{"LC_ALL", "en_US.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}), Language::English);
    EXPECT_EQ(With({{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE.UTF-8"}, {"LANG", "en_US"}}),
              Language::German);
    EXPECT_EQ(With({{"LANGUAGE", "de"}, {"LANG", "en_US.UTF-8"}}), Language::German);
    EXPECT_EQ(With({{"LANGUAGE", "fr:de:en"}, {"LANG", "en_US.UTF-8"}}), Language::German);
    EXPECT_EQ(With({{"LANGUAGE", "en_GB:de"}, {"LANG", "de_DE.UTF-8"}}), Language::English);
    EXPECT_EQ(With({{"LANGUAGE", "fr"}, {"LANG", "de_DE.UTF-8"}}), Language::English);
    // gettext ignores LANGUAGE under the C locale.
    EXPECT_EQ(With({{"LANGUAGE", "de"}, {"LANG", "C"}}), Language::English);
    EXPECT_EQ(With({{"LANGUAGE", "de"}}), Language::English);
}

TEST(UserInterfaceLanguage, TagsOfTheResources) {
    EXPECT_STREQ(LanguageTagOf(Language::German), "de-DE");
    EXPECT_STREQ(LanguageTagOf(Language::English), "en-US");
}

}  // namespace
