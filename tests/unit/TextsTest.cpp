// The catalogue of texts: complete in both languages, each pair fit for the same arguments, and
// every text valid Windows-1252.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "Texts.h"
#include "text/Windows1252.h"

namespace {

/// The printf conversions of a format, in order ("%s%d%llu"); "%%" is none.
std::string Conversions(std::string_view format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t k = i + 1;
        while (k < format.size() &&
               std::string_view("-+ #0123456789.").find(format[k]) != std::string_view::npos) {
            ++k;
        }
        while (k < format.size() &&
               std::string_view("hlLqjzt").find(format[k]) != std::string_view::npos) {
            ++k;
        }
        out += '%' + std::string(format.substr(i + 1, k + 1 - (i + 1)));
        i = k;
    }
    return out;
}

bool Valid1252(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            return false;  // undefined in Windows-1252
        }
    }
    // Umlauts written as UTF-8 would show as two characters each.
    return !text::IsUtf8BeyondAscii(text);
}

TEST(Texts, EveryIdHasBothLanguagesForTheSameArguments) {
    const texts::Entry* pEntries = texts::Catalogue();
    for (int i = 0; i < texts::Count; ++i) {
        const texts::Entry& entry = pEntries[i];
        ASSERT_EQ(entry.id, i) << "the entries stand in the order of their ids";
        ASSERT_NE(entry.pszEnglish, nullptr) << i;
        ASSERT_NE(entry.pszGerman, nullptr) << i;
        EXPECT_NE(entry.pszEnglish[0], '\0') << i;
        EXPECT_NE(entry.pszGerman[0], '\0') << i;
        EXPECT_EQ(Conversions(entry.pszEnglish), Conversions(entry.pszGerman))
            << "the same arguments in both: " << entry.pszEnglish;
        EXPECT_TRUE(Valid1252(entry.pszEnglish)) << entry.pszEnglish;
        EXPECT_TRUE(Valid1252(entry.pszGerman)) << entry.pszGerman;
        EXPECT_STREQ(texts::Get(entry.id, Language::English), entry.pszEnglish);
        EXPECT_STREQ(texts::Get(entry.id, Language::German), entry.pszGerman);
    }
    EXPECT_EQ(Conversions("%s of %u, %ld%% %llu"), "%s%u%ld%llu");
    EXPECT_EQ(texts::FormatUtf8(texts::SavedLine, Language::German, 3, "x\xc3\xa4"),
              "Zeile 3: x\xc3\xa4");
    EXPECT_EQ(texts::Format(texts::SweepAllSent, Language::German, 7u), "7 Adressen");
}

}  // namespace
