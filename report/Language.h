// The language of the texts: German or English, decided once at start-up and handed down to
// everything that writes a text (the catalogue of texts, Texts.h, holds both).
#pragma once

#include <functional>

enum class Language { English, German };

/// The rule of the language tags (the resources' "de-DE" and "en-US", the report's tag): German
/// when the first three bytes of the tag are exactly "de-", English for any other (and for null).
Language LanguageOfTag(const char* pszTag);
/// The same rule as a question: whether the tag selects German.
inline bool IsGermanLanguageTag(const char* pszTag) {
    return LanguageOfTag(pszTag) == Language::German;
}
/// The language tag that the resources of the language carry: "de-DE" or "en-US".
const char* LanguageTagOf(Language language);

/// Reads an environment variable; null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

/// German when the user's language is German, as gettext reads it: the locale of messages from
/// LC_ALL, LC_MESSAGES or LANG (the first that is set and not empty); when that locale is not
/// "C" or "POSIX", the priority list LANGUAGE takes its place. The first German or English entry
/// decides; English when none does.
Language UserInterfaceLanguage(const EnvironmentReader& getEnv);
/// The language of the user interface of this process: on Windows the user's UI language
/// (GetUserDefaultUILanguage; German when its primary language is German), elsewhere the rule
/// above on the process environment. A program asks once, at its start.
Language UserInterfaceLanguage();

/// The Windows rule: German when the primary language of the language id is German (0x07).
Language LanguageOfLangId(unsigned short wLangId);
