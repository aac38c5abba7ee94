// Target lists as a file or standard input hands them over: any bytes, lines or JSON. A list is
// taken whole or not at all; what is taken parses again as a target; every fault names a line of
// the input; and no input crashes, hangs or exhausts the stack.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "Invariants.h"
#include "TargetList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    const std::string_view text(reinterpret_cast<const char*>(pData), nSize);
    std::vector<SearchTarget> targets(1);
    targets[0].text = "kept";
    std::vector<TargetListError> errors;
    std::size_t nUnlisted = 0;
    const bool bOk = ParseTargetList(text, &targets, &errors, &nUnlisted, Language::English);
    fuzz::Require(errors.size() <= kMostListedErrors, "at most twenty faults are named");
    fuzz::Require(nUnlisted == 0 || errors.size() == kMostListedErrors,
                  "faults are counted only beyond those named");
    fuzz::Require(bOk == errors.empty(), "a list is taken exactly when nothing is wrong with it");
    fuzz::Require(targets.size() >= 1 && targets[0].text == "kept", "earlier targets are kept");
    const int nLines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (!bOk) {
        fuzz::Require(targets.size() == 1, "nothing of a malformed list is taken");
        for (const TargetListError& error : errors) {
            fuzz::Require(error.nLine >= 1 && error.nLine <= nLines, "a fault names a line",
                          error.message);
            fuzz::Require(!error.message.empty() && error.message.find('\n') == std::string::npos,
                          "a fault is one line", error.message);
            // It quotes the input: as a terminal can show it, and short.
            fuzz::CheckTerminalText(error.message);
            fuzz::Require(error.message.size() < 400, "a fault quotes the input short",
                          error.message);
        }
        return 0;
    }
    for (std::size_t i = 1; i < targets.size(); ++i) {
        SearchTarget again;
        std::string error;
        fuzz::Require(ParseSearchTarget(targets[i].text, &again, &error, Language::English),
                      "a target taken from a list parses again", targets[i].text);
        fuzz::Require(again.nFirst == targets[i].nFirst && again.nLast == targets[i].nLast,
                      "and means the same", targets[i].text);
    }
    return 0;
}
