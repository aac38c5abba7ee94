// The user-interface language: German or English, chosen once from the user's environment.
#pragma once

#include <functional>

enum class UiLanguage { English, German };

/// Reads an environment variable; null when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

/// German when the user's language is German, as gettext reads it: the locale of messages from
/// LC_ALL, LC_MESSAGES or LANG (the first that is set and not empty); when that locale is not
/// "C" or "POSIX", the priority list LANGUAGE takes its place. The first German or English entry
/// decides; English when none does.
UiLanguage UserInterfaceLanguage(const EnvironmentReader& getEnv);
/// The language of the user interface of this process: on Windows the user's UI language
/// (GetUserDefaultUILanguage; German when its primary language is German), elsewhere the rule
/// above on the process environment.
UiLanguage UserInterfaceLanguage();

/// The Windows rule: German when the primary language of the language id is German (0x07).
UiLanguage UiLanguageOfLangId(unsigned short wLangId);

/// The language tag that the resources of the language carry: "de-DE" or "en-US".
const char* LanguageTagOf(UiLanguage language);
