// The search for devices: one exchange of the discovery protocol (CDeviceInfo::SearchDevices,
// declared with the table it fills), and what the front ends add when nobody answered.
#pragma once

#include "DeviceTable.h"
#include "ReportSink.h"

/// After a search in which no device answered: says so in the report, names what the query went
/// to (outcome.queried) and what to check; the front end names how its user gives search targets
/// (the catalogue's text targetsHint).
void ReportNoDeviceAnswered(CReportSink& report, const CDeviceInfo& info,
                            const SearchOutcome& outcome, texts::Id targetsHint);
