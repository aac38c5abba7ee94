#include "SearchSettings.h"

namespace {

bool Names(const std::string& arg, const char* pszShort, const char* pszLong) {
    return (pszShort != nullptr && arg == pszShort) || arg == pszLong ||
           arg.rfind(std::string(pszLong) + "=", 0) == 0;
}

}  // namespace

SearchOption SearchOptionOf(const std::string& arg) {
    for (const SearchOption option :
         {SearchOption::Target, SearchOption::Rate, SearchOption::MostAddresses}) {
        const char* pszShort = option == SearchOption::Target ? "-t"
                               : option == SearchOption::Rate ? "-r"
                                                              : nullptr;
        if (Names(arg, pszShort, SearchOptionName(option))) {
            return option;
        }
    }
    return SearchOption::None;
}

const char* SearchOptionName(SearchOption option) {
    switch (option) {
        case SearchOption::Target:
            return "--target";
        case SearchOption::Rate:
            return "--rate";
        case SearchOption::MostAddresses:
            return "--max-addresses";
        case SearchOption::None:
            break;
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
