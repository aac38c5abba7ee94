// What must hold after every fuzz input. A violation prints what broke and aborts, so that
// libFuzzer keeps the input that shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceInfo.h"

namespace fuzz {

/// Aborts with the message when the condition does not hold.
void Require(bool bCondition, const char* pszWhat, std::string_view detail = {});

/// At most kMaxDevices records, sorted by serial number, no two equal, every text field terminated
/// within its width, and every slot past the count all zero.
void CheckTable(const CDeviceInfo& info);

/// A device's text field that is UTF-8 beyond ASCII (and holds nothing the JSON escapes) stands
/// in the JSON as it is.
void CheckDeviceTextInJson(const CDeviceInfo& info, std::string_view json);

/// Valid UTF-8 without any control character but the line feed, and without bidirectional
/// controls (which reorder what a terminal shows).
void CheckTerminalText(std::string_view text);

/// The whole text is one JSON array of nObjects objects (strict JSON: RFC 8259).
void CheckJson(std::string_view text, int nObjects);

/// RFC 4180 CSV with CR LF line ends: a header and one row per device, every row with the same
/// number of cells, no cell that a spreadsheet would run as a formula, and no cell that would act
/// on a terminal (CheckTerminalText, and no line end).
void CheckCsv(std::string_view text, int nDevices);

/// Whether the text is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool ValidUtf8(std::string_view text);

/// The Prometheus text exposition format 0.0.4 as promtool's parser takes it: valid UTF-8; lines
/// of "# HELP name text", "# TYPE name gauge|counter" (before the metric's samples) and samples
/// "name{label=\"value\",...} number" whose label values hold no line end, no bare quote and
/// only the escapes \\, \" and \n; no sample twice.
void CheckExposition(std::string_view text);

/// Parses RFC 4180 CSV into rows of cells; false when it is not well formed.
bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>* pRows);

}  // namespace fuzz
