// What one search is asked to do besides filling its table: handed to the search as a value, so
// that every front end (the desktop program, lorixlog-find, its watch) searches with settings of
// its own and a table of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SearchTarget.h"

/// The model prefix that replies must carry unless a search is given another.
inline constexpr char kDefaultModelPrefix[] = "lorix";

struct SearchSettings {
    /// At 1 or more the search writes one line per broadcast target and target; at 2 or more
    /// also one line per interface address.
    int nVerbosity = 0;
    /// The model prefix that replies must carry; at most 39 bytes count.
    std::string modelPrefix = kDefaultModelPrefix;
    /// Hosts and prefixes beyond the local networks that the search queries as well, after its
    /// broadcasts; empty: the local networks only.
    std::vector<SearchTarget> targets;
    /// The pace of the queries to the targets, in queries a second; 0: kDefaultQueriesPerSecond.
    int nQueriesPerSecond = 0;
    /// The most addresses of the targets a search queries; 0: kDefaultMostTargetAddresses. A
    /// search whose targets hold more fails before anything is sent.
    std::uint32_t nMostTargetAddresses = 0;
};

/// The options of the search that both programs take on their command lines.
enum class SearchOption {
    None,
    Target,         ///< -t, --target TARGET (repeatable)
    Rate,           ///< -r, --rate N
    MostAddresses,  ///< --max-addresses N
};

/// The search option that the argument names ("--target", "-t", "--target=10.0.0.1"), or None.
SearchOption SearchOptionOf(const std::string& arg);

/// The long name of a search option ("--target"); "" for None.
const char* SearchOptionName(SearchOption option);

/// Applies the option's value to the settings: a target is added, a rate or a bound replaces the
/// one before. False with *pError (in the language, naming the value) when the value is wrong;
/// the settings are then as they were.
bool ApplySearchOption(SearchOption option, const std::string& value, SearchSettings* pSettings,
                       std::string* pError, Language language);
