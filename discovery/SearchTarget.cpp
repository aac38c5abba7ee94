#include "SearchTarget.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "DeviceText.h"
#include "TextOutput.h"
#include "Texts.h"

bool ParseDotted(const std::string& text, std::uint32_t* pAddress) {
    std::uint32_t nAddress = 0;
    std::size_t i = 0;
    for (int nPart = 0; nPart < 4; ++nPart) {
        if (nPart > 0) {
            if (i >= text.size() || text[i] != '.') {
                return false;
            }
            ++i;
        }
        const std::size_t nStart = i;
        unsigned nValue = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - nStart < 3) {
            nValue = nValue * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        const bool bLeadingZero = i - nStart > 1 && text[nStart] == '0';
        if (i == nStart || nValue > 255 || bLeadingZero) {
            return false;
        }
        nAddress = (nAddress << 8) | nValue;
    }
    if (i != text.size()) {
        return false;
    }
    *pAddress = nAddress;
    return true;
}

namespace {

/// Whether the label is a number as the system's address parsers take one: decimal, octal with a
/// leading 0, or hexadecimal with 0x.
bool IsNumberLabel(const std::string& label) {
    if (label.empty()) {
        return false;
    }
    std::size_t i = 0;
    bool bHex = false;
    if (label.size() >= 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X')) {
        bHex = true;
        i = 2;
    }
    for (; i < label.size(); ++i) {
        const char c = label[i];
        const bool bDigit = c >= '0' && c <= '9';
        const bool bHexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!bDigit && !(bHex && bHexLetter)) {
            return false;
        }
    }
    return true;
}

/// Whether the text would be read as an address in one of the old numeric forms (0x7f000001,
/// 2130706433, 127.1, 010.0.0.1), or its last label is all digits: it was meant as an address
/// then (a top-level domain is never numeric), and it is no name.
bool LooksNumeric(const std::string& text) {
    std::string body = text;
    if (!body.empty() && body.back() == '.') {
        body.pop_back();
    }
    std::vector<std::string> labels{std::string()};
    for (char c : body) {
        if (c == '.') {
            labels.emplace_back();
        } else {
            labels.back() += c;
        }
    }
    if (labels.size() <= 4 && std::all_of(labels.begin(), labels.end(), IsNumberLabel)) {
        return true;
    }
    const std::string& last = labels.back();
    return !last.empty() &&
           std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The most characters of the user's text that a message quotes.
constexpr std::size_t kLongestQuote = 64;

/// The text in quotes, as a terminal can show it (control and bidirectional characters escaped),
/// cut after kLongestQuote characters.
std::string Quoted(const std::string& text) {
    std::string shown = TerminalTextFromUtf8(std::string_view(text).substr(0, kLongestQuote * 4));
    std::size_t nCharacters = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if ((static_cast<unsigned char>(shown[i]) & 0xC0) != 0x80 &&
            ++nCharacters > kLongestQuote) {
            shown.erase(i);
            shown += "...";
            break;
        }
    }
    return "'" + shown + "'";
}

/// The message of the id about the text (quoted), in UTF-8.
std::string Say(texts::Id id, Language language, const std::string& text) {
    return texts::FormatUtf8(id, language, Quoted(text).c_str());
}

/// Whether the text holds a control character other than a tab or a carriage return (which are
/// blanks in a list; C0 with the zero byte, DEL): no target does, and a program that reads the
/// text up to a zero byte would see another target than this check.
bool HoldsControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t' && b != '\r') || b == 0x7F;
    });
}

}  // namespace

bool IsHostAddress(std::uint32_t nAddress) {
    const std::uint32_t nFirst = nAddress >> 24;
    return nFirst != 0 && nFirst < 224;
}

bool ParseSearchTarget(const std::string& text, SearchTarget* pTarget, std::string* pError,
                       Language language) {
    SearchTarget target;
    target.text = text;
    if (HoldsControl(text)) {
        *pError = Say(texts::TargetControlCharacter, language, text);
        return false;
    }
    const std::size_t nSlash = text.find('/');
    if (nSlash != std::string::npos) {
        std::uint32_t nAddress = 0;
        const std::string length = text.substr(nSlash + 1);
        char* pEnd = nullptr;
        const long nLength = std::strtol(length.c_str(), &pEnd, 10);
        if (!ParseDotted(text.substr(0, nSlash), &nAddress)) {
            *pError = Say(texts::TargetNothing, language, text);
            return false;
        }
        if (length.empty() || length.size() > 2 || *pEnd != '\0' || length[0] < '0' ||
            length[0] > '9' || (length.size() == 2 && length[0] == '0')) {
            *pError = Say(texts::TargetNoPrefix, language, text);
            return false;
        }
        if (nLength < 16 || nLength > 32) {
            *pError = Say(texts::TargetPrefixLength, language, text);
            return false;
        }
        const std::uint32_t nMask = nLength == 32 ? ~0u : ~((1u << (32 - nLength)) - 1);
        const std::uint32_t nNetwork = nAddress & nMask;
        const std::uint32_t nBroadcast = nNetwork | ~nMask;
        if (!IsHostAddress(nNetwork)) {
            *pError = Say(texts::TargetNoHosts, language, text);
            return false;
        }
        if (nLength <= 30) {
            // The host addresses, without the network and the broadcast address.
            target.nFirst = nNetwork + 1;
            target.nLast = nBroadcast - 1;
            target.nBroadcast = nBroadcast;
        } else {
            target.nFirst = nNetwork;
            target.nLast = nBroadcast;
        }
    } else if (ParseDotted(text, &target.nFirst)) {
        if (!IsHostAddress(target.nFirst)) {
            *pError = Say(texts::TargetNoHostAddress, language, text);
            return false;
        }
        target.nLast = target.nFirst;
    } else if (LooksNumeric(text)) {
        *pError = Say(texts::TargetNotDotted, language, text);
        return false;
    } else if (IsDnsHostName(text.c_str())) {
        target.bName = true;
    } else {
        *pError = Say(texts::TargetNothing, language, text);
        return false;
    }
    *pTarget = target;
    return true;
}

bool ParseQueryRate(const std::string& text, int* pnRate, std::string* pError, Language language) {
    long nValue = 0;
    bool bDigits = !text.empty() && text.size() <= 7;
    for (char c : text) {
        bDigits = bDigits && c >= '0' && c <= '9';
        nValue = bDigits ? nValue * 10 + (c - '0') : 0;
    }
    if (!bDigits || nValue < kLowestQueryRate || nValue > kHighestQueryRate) {
        *pError = texts::FormatUtf8(texts::TargetRate, language, Quoted(text).c_str(),
                                    kLowestQueryRate, kHighestQueryRate);
        return false;
    }
    *pnRate = static_cast<int>(nValue);
    return true;
}

bool ParseMostAddresses(const std::string& text, std::uint32_t* pnMost, std::string* pError,
                        Language language) {
    std::uint64_t nValue = 0;
    bool bDigits = !text.empty() && text.size() <= 10;
    for (char c : text) {
        bDigits = bDigits && c >= '0' && c <= '9';
        nValue = bDigits ? nValue * 10 + static_cast<std::uint64_t>(c - '0') : 0;
    }
    if (!bDigits || nValue < 1 || nValue > 0xFFFFFFFFull) {
        *pError = Say(texts::TargetBound, language, text);
        return false;
    }
    *pnMost = static_cast<std::uint32_t>(nValue);
    return true;
}

namespace {

/// Addresses already planned or left out: disjoint ranges, first address to last.
using RangeSet = std::map<std::uint32_t, std::uint32_t>;

/// The parts of the range that the set does not hold.
std::vector<TargetRange> Subtract(TargetRange range, const RangeSet& set) {
    std::vector<TargetRange> parts;
    std::uint64_t nNext = range.nFirst;
    auto it = set.upper_bound(range.nFirst);
    if (it != set.begin()) {
        --it;
    }
    for (; it != set.end() && it->first <= range.nLast && nNext <= range.nLast; ++it) {
        if (it->second < nNext) {
            continue;
        }
        if (it->first > nNext) {
            parts.push_back({static_cast<std::uint32_t>(nNext), it->first - 1});
        }
        nNext = static_cast<std::uint64_t>(it->second) + 1;
    }
    if (nNext <= range.nLast) {
        parts.push_back({static_cast<std::uint32_t>(nNext), range.nLast});
    }
    return parts;
}

void Insert(RangeSet& set, TargetRange range) {
    std::uint64_t nFirst = range.nFirst;
    std::uint64_t nLast = range.nLast;
    auto it = set.upper_bound(range.nFirst);
    if (it != set.begin() && std::prev(it)->second + 1ull >= nFirst) {
        --it;
    }
    while (it != set.end() && it->first <= nLast + 1) {
        nFirst = std::min<std::uint64_t>(nFirst, it->first);
        nLast = std::max<std::uint64_t>(nLast, it->second);
        it = set.erase(it);
    }
    set[static_cast<std::uint32_t>(nFirst)] = static_cast<std::uint32_t>(nLast);
}

std::uint32_t CountOf(const std::vector<TargetRange>& ranges) {
    std::uint32_t n = 0;
    for (const TargetRange& r : ranges) {
        n += r.Count();
    }
    return n;
}

}  // namespace

std::vector<TargetRange> PlanTargets(const std::vector<SearchTarget>& targets,
                                     const std::vector<std::vector<std::uint32_t>>& nameAddresses,
                                     const std::vector<OnLinkNetwork>& onLink,
                                     const std::vector<std::uint32_t>& localBroadcasts,
                                     std::vector<TargetShare>* pShares) {
    RangeSet onLinkSet;
    for (const OnLinkNetwork& network : onLink) {
        const std::uint32_t nFirst = network.nNetwork & network.nNetmask;
        Insert(onLinkSet, {nFirst, nFirst | ~network.nNetmask});
    }
    RangeSet planned;
    for (std::uint32_t nBroadcast : localBroadcasts) {
        Insert(planned, {nBroadcast, nBroadcast});
    }
    std::vector<TargetRange> plan;
    pShares->assign(targets.size(), TargetShare{});
    std::size_t nName = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const SearchTarget& target = targets[i];
        std::vector<TargetRange> wanted;
        if (target.bName) {
            if (nName < nameAddresses.size()) {
                for (std::uint32_t nAddress : nameAddresses[nName]) {
                    wanted.push_back({nAddress, nAddress});
                }
            }
            ++nName;
        } else {
            wanted.push_back({target.nFirst, target.nLast});
            if (target.nBroadcast != 0) {
                wanted.push_back({target.nBroadcast, target.nBroadcast});
            }
        }
        TargetShare& share = (*pShares)[i];
        for (const TargetRange& range : wanted) {
            const std::vector<TargetRange> offLink = Subtract(range, onLinkSet);
            share.nOnLink += range.Count() - CountOf(offLink);
            for (const TargetRange& part : offLink) {
                const std::vector<TargetRange> fresh = Subtract(part, planned);
                share.nRepeated += part.Count() - CountOf(fresh);
                for (TargetRange piece : fresh) {
                    piece.nTarget = i;
                    plan.push_back(piece);
                    Insert(planned, piece);
                    share.nQueried += piece.Count();
                }
            }
        }
    }
    return plan;
}
