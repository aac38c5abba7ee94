// What the desktop program searches with and keeps between its runs: the settings of its command
// line, the search targets the user keeps, and the kept size of the device list. The application
// owns them; the main window is handed them.
#pragma once

#include <string>
#include <vector>

#include "KeptSize.h"
#include "SavedTargets.h"
#include "SearchSettings.h"

class CFinderSettings {
public:
    /// What every search of the main window is handed: the rate and the bound of the command
    /// line, and the targets of ApplyTargets.
    SearchSettings m_search;
    /// The targets of the command line, and those the user keeps (the targets dialog): every
    /// search queries both.
    std::vector<SearchTarget> m_commandLineTargets;
    CSavedTargets m_savedTargets;
    /// Where the size the user gives the device list is kept, beside the targets.
    CKeptSize m_deviceListSize;
    /// Why the kept targets are not used (a file that cannot be read or is malformed); empty
    /// when they are. Each search's report says it.
    std::string m_strTargetsProblem;

    /// Gives the search the targets of the command line and the kept ones, in that order.
    void ApplyTargets();
};
