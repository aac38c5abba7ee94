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
/// The same, from the process environment.
UiLanguage UserInterfaceLanguage();

/// The language tag that the resources of the language carry: "de-DE" or "en-US".
const char* LanguageTagOf(UiLanguage language);
