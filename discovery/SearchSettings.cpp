#include "SearchSettings.h"

namespace {

/// The search options by their names on the command line.
struct SearchOptionRow {
    SearchOption option;
    const char* pszShort;  ///< null: none
    const char* pszLong;
};
constexpr SearchOptionRow kOptions[] = {
    {SearchOption::Target, "-t", "--target"},
    {SearchOption::Rate, "-r", "--rate"},
    {SearchOption::MostAddresses, nullptr, "--max-addresses"},
};

}  // namespace

SearchOption SearchOptionOf(const std::string& arg) {
    for (const SearchOptionRow& row : kOptions) {
        if ((row.pszShort != nullptr && arg == row.pszShort) || arg == row.pszLong ||
            arg.rfind(std::string(row.pszLong) + "=", 0) == 0) {
            return row.option;
        }
    }
    return SearchOption::None;
}

const char* SearchOptionName(SearchOption option) {
    for (const SearchOptionRow& row : kOptions) {
        if (row.option == option) {
            return row.pszLong;
        }
    }
    return "";
}

bool ApplySearchOption(SearchOption option, const std::string& value, SearchSettings* pSettings,
                       std::string* pError, Language language) {
    switch (option) {
        case SearchOption::Target: {
            SearchTarget target;
            if (!ParseSearchTarget(value, &target, pError, language)) {
                return false;
            }
            pSettings->targets.push_back(target);
            return true;
        }
        case SearchOption::Rate:
            return ParseQueryRate(value, &pSettings->nQueriesPerSecond, pError, language);
        case SearchOption::MostAddresses:
            return ParseMostAddresses(value, &pSettings->nMostTargetAddresses, pError, language);
        case SearchOption::None:
            break;
    }
    return false;
}
