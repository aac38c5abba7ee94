// The language tag of the user interface, as start-up determines it and the dialogs and the
// report read it.
#pragma once

/// The language tag of the user interface ("de-DE" or "en-US"), zero-terminated; written once by
/// start-up from the string resource IDS_LANGUAGE of the chosen resource language.
extern char g_szLanguage[170];

/// Fills g_szLanguage from the string resource IDS_LANGUAGE, or with "en-US" when there is none.
void DetermineLanguageTag();
