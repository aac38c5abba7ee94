// Text of the report and of devices, made fit for terminals and data formats.
#pragma once

#include <string>
#include <string_view>

/// Windows-1252 bytes as UTF-8. Control characters (below 0x20 and 0x7F) and the five bytes that
/// Windows-1252 leaves undefined are written as \xNN escapes, so that nothing a device sends can
/// act on a terminal.
std::string TerminalTextFrom1252(std::string_view text);

/// Text of the user (command-line arguments, file names) or of a device in UTF-8, fit for a
/// terminal: valid UTF-8 stays as it is, but control characters (C0, DEL and the C1 range U+0080
/// to U+009F) and every byte that is not part of valid UTF-8 are written as \xNN escapes of their
/// bytes, and the characters that reorder text on the screen (bidirectional controls such as
/// U+202E) as \uXXXX, as the report shows them.
std::string TerminalTextFromUtf8(std::string_view text);

/// Whether the code point is a bidirectional control (U+061C, U+200E, U+200F, U+202A to U+202E,
/// U+2066 to U+2069), which reorders the text around it on a screen.
bool IsBidiControl(char32_t cp);

/// A JSON string literal (with its quotes) of Windows-1252 bytes, in UTF-8.
std::string JsonStringFrom1252(std::string_view text);
/// A JSON string literal of UTF-8 text (bytes that are not UTF-8 become U+FFFD); control
/// characters are escaped.
std::string JsonStringFromUtf8(std::string_view text);

/// A CSV field (RFC 4180) of Windows-1252 bytes, in UTF-8: quoted when it holds a comma or a
/// quote, with quotes doubled. Control characters (C0, DEL, C1) are written as \xNN escapes of
/// their bytes and bidirectional controls as \uXXXX, as the report shows them, so that a cell
/// shown on a terminal cannot act on it. A field that a spreadsheet would take for a formula (it
/// begins with '=', '+', '-', '@', also behind blanks) is quoted with a leading apostrophe, so
/// that it stays text.
std::string CsvFieldFrom1252(std::string_view text);
/// The same for UTF-8 text.
std::string CsvFieldFromUtf8(std::string_view text);
