// Text of the report and of devices, made fit for terminals and data formats.
#pragma once

#include <string>
#include <string_view>

/// Windows-1252 bytes as UTF-8. Control characters (below 0x20 and 0x7F) and the five bytes that
/// Windows-1252 leaves undefined are written as \xNN escapes, so that nothing a device sends can
/// act on a terminal.
std::string TerminalTextFrom1252(std::string_view text);

/// A JSON string literal (with its quotes) of Windows-1252 bytes, in UTF-8.
std::string JsonStringFrom1252(std::string_view text);

/// A CSV field (RFC 4180) of Windows-1252 bytes, in UTF-8: quoted when it holds a comma, quote,
/// CR or LF, with quotes doubled; other control characters as \xNN escapes.
std::string CsvFieldFrom1252(std::string_view text);
