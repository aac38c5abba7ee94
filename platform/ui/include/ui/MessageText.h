// The text of a message box, made to fit the screen: however much a program has to say, the box
// and its OK button stay on the screen.
#pragma once

#include <string>

namespace ui {

/// The longest line a message box shows whole, in characters; a longer one is cut with "...".
constexpr std::size_t kLongestMessageLine = 160;

/// The text cut to at most nMostLines lines (at least 2): the first lines as they are, then one
/// line "\x85 (+N)" (Windows-1252 ellipsis) that counts the lines left out; every line cut to
/// kLongestMessageLine characters. Lines end with "\n" or "\r\n"; the result keeps the text's
/// line ends.
std::string FitMessageText(const std::string& text, int nMostLines);

}  // namespace ui
