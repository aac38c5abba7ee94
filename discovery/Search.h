// The search for devices: one exchange of the discovery protocol (CDeviceInfo::SearchDevices,
// declared with the table it fills), and what the front ends add when nobody answered.
#pragma once

#include "DeviceTable.h"

/// After a search in which no device answered: says so in the report, names what the query went
/// to (outcome.queried) and what to check; the front end names how its user gives search targets
/// (in English and German). Nothing when pReport is null.
void ReportNoDeviceAnswered(CReportText* pReport, const CDeviceInfo& info,
                            const SearchOutcome& outcome, const char* pszTargetsEnglish,
                            const char* pszTargetsGerman);
