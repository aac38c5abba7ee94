// The 8-bit text of the program: Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace text {

/// The Unicode code point of a Windows-1252 byte; the five bytes that Windows-1252 leaves
/// undefined map to U+0081, U+008D, U+008F, U+0090 and U+009D, as Windows maps them.
char32_t CodePointOf1252(unsigned char byte);
/// Whether the byte is a control character (below 0x20, 0x7F) or one of the undefined bytes.
bool IsControlOrUndefined1252(unsigned char byte);
/// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);
/// Windows-1252 text as UTF-8, byte for code point.
std::string Utf8From1252(std::string_view text);
/// UTF-8 text as Windows-1252; characters it cannot hold become '?'.
std::string Windows1252FromUtf8(std::string_view text);
/// The length of the well-formed UTF-8 sequence that begins at text[i] (1 to 4), with its code
/// point in *pCodePoint; 0 when none begins there (a stray byte, an overlong form, a surrogate).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i, char32_t* pCodePoint);
/// Whether the text is well-formed UTF-8 and holds at least one byte above 0x7F: then it is
/// meant as UTF-8 (Windows-1252 text rarely is, by accident).
bool IsUtf8BeyondAscii(std::string_view text);
/// The Windows-1252 byte of a code point; -1 when Windows-1252 cannot hold it.
int Byte1252Of(char32_t codePoint);

}  // namespace text
