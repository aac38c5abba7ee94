// Lists of search targets, as files hold them: one target per line, or the JSON array of devices
// that lorixlog-find --json writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "SearchTarget.h"

/// What is wrong with a target list, and where.
struct TargetListError {
    int nLine;            ///< 1 for the first line
    std::string message;  ///< one line that names the offending text
};

/// The largest target list that is read (bytes); a longer one is refused, not cut.
constexpr std::size_t kLargestTargetList = 16u * 1024 * 1024;
/// The malformed lines that are named at most; beyond, they are counted.
constexpr std::size_t kMostListedErrors = 20;

/// Reads a target list. Either one target per line as --target takes it (an address, a host
/// name or a prefix), with blank lines and lines that start with '#' (after blanks) ignored and
/// CR LF line ends allowed; or, when the first character other than a blank is '[', the JSON
/// array that --json writes, whose objects' "ipv4" fields are the targets (empty ones are
/// skipped). A line that holds a control character other than a tab or a carriage return (a zero
/// byte among them) is malformed. Appends the targets to *pTargets and returns true; for a
/// malformed list returns false with the first kMostListedErrors malformed lines in *pErrors
/// (for JSON, the first error; the messages in the language, UTF-8), the number of further ones
/// in *pnUnlisted (null: not wanted), and leaves *pTargets as it was. Takes time in proportion
/// to the text.
bool ParseTargetList(std::string_view text, std::vector<SearchTarget>* pTargets,
                     std::vector<TargetListError>* pErrors, std::size_t* pnUnlisted,
                     Language language);

/// The targets as a target list: their texts, one per line, each line ending with "\n".
std::string TargetListText(const std::vector<SearchTarget>& targets);
