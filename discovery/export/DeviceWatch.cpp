#include "DeviceWatch.h"

#include <cstdio>

#include "DeviceExport.h"
#include "DeviceFields.h"
#include "DeviceText.h"
#include "TextOutput.h"

std::string DeviceWatchKey(const DeviceRecord& record) {
    const std::string serial = Utf8DeviceText(record.szSerialNumber);
    const std::string identity = serial.empty() ? std::string("@") + record.szIPv4 : serial;
    return Utf8DeviceText(record.szMaker) + "\n" + Utf8DeviceText(record.szModel) + "\n" + identity;
}

namespace {

const char* EventName(DeviceChange::Kind kind) {
    switch (kind) {
        case DeviceChange::Appeared:
            return "appeared";
        case DeviceChange::Changed:
            return "changed";
        case DeviceChange::Vanished:
            break;
    }
    return "vanished";
}

/// "lorixLOG LX-8 A20715": how a line names the device.
std::string DeviceName(const DeviceRecord& record) {
    std::string name = Utf8DeviceText(record.szModel);
    for (const char* pszPart : {record.szModelDetail, record.szSerialNumber}) {
        const std::string part = Utf8DeviceText(pszPart);
        if (!part.empty()) {
            name += " " + part;
        }
    }
    return name;
}

}  // namespace

std::vector<DeviceChange> CDeviceWatch::Update(const CDeviceInfo& info) {
    std::vector<DeviceChange> changes;
    std::vector<bool> seen(m_known.size(), false);
    for (int i = 0; i < info.m_nDevices; ++i) {
        const DeviceRecord& record = info.m_aDevices[i];
        const DeviceArrival& arrival = info.m_aArrivals[i];
        const std::string key = DeviceWatchKey(record);
        std::size_t k = 0;
        while (k < m_known.size() && m_known[k].key != key) {
            ++k;
        }
        if (k < seen.size() && seen[k]) {
            continue;  // the same device again in this search (from another address): the first
        }
        const std::string json = DeviceAsJson(record, arrival);
        if (k == m_known.size()) {
            m_known.push_back(Entry{key, json, record, arrival, 0});
            seen.push_back(true);
            changes.push_back(
                DeviceChange{DeviceChange::Appeared, record, arrival, record, arrival});
            continue;
        }
        seen[k] = true;
        Entry& known = m_known[k];
        known.nMissed = 0;
        if (known.json != json) {
            changes.push_back(
                DeviceChange{DeviceChange::Changed, record, arrival, known.record, known.arrival});
            known.json = json;
            known.record = record;
            known.arrival = arrival;
        }
    }
    std::vector<Entry> kept;
    for (std::size_t k = 0; k < m_known.size(); ++k) {
        Entry& known = m_known[k];
        if (!seen[k] && ++known.nMissed >= kMissesToVanish) {
            changes.push_back(DeviceChange{DeviceChange::Vanished, known.record, known.arrival,
                                           known.record, known.arrival});
        } else {
            kept.push_back(std::move(known));
        }
    }
    m_known = std::move(kept);
    return changes;
}

std::string IsoUtcTime(std::int64_t nSeconds) {
    // The civil date of a day count (days since 1970-01-01), without the C library's time zone
    // functions, which differ between the platforms.
    std::int64_t nDays = nSeconds >= 0 ? nSeconds / 86400 : (nSeconds - 86399) / 86400;
    const std::int64_t nSecondOfDay = nSeconds - nDays * 86400;
    nDays += 719468;
    const std::int64_t nEra = (nDays >= 0 ? nDays : nDays - 146096) / 146097;
    const std::int64_t nDayOfEra = nDays - nEra * 146097;
    const std::int64_t nYearOfEra =
        (nDayOfEra - nDayOfEra / 1460 + nDayOfEra / 36524 - nDayOfEra / 146096) / 365;
    const std::int64_t nDayOfYear =
        nDayOfEra - (365 * nYearOfEra + nYearOfEra / 4 - nYearOfEra / 100);
    const std::int64_t nMonthIndex = (5 * nDayOfYear + 2) / 153;
    const std::int64_t nDay = nDayOfYear - (153 * nMonthIndex + 2) / 5 + 1;
    const std::int64_t nMonth = nMonthIndex < 10 ? nMonthIndex + 3 : nMonthIndex - 9;
    const std::int64_t nYear = nYearOfEra + nEra * 400 + (nMonth <= 2 ? 1 : 0);
    char sz[128];
    std::snprintf(sz, sizeof(sz), "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ",
                  static_cast<long long>(nYear), static_cast<long long>(nMonth),
                  static_cast<long long>(nDay), static_cast<long long>(nSecondOfDay / 3600),
                  static_cast<long long>(nSecondOfDay / 60 % 60),
                  static_cast<long long>(nSecondOfDay % 60));
    return sz;
}

std::string ChangeAsJson(const DeviceChange& change, const std::string& time) {
    std::string line = std::string("{\"event\": \"") + EventName(change.kind) +
                       "\", \"time\": " + JsonStringFromUtf8(time) +
                       ", \"device\": " + DeviceAsJson(change.record, change.arrival);
    if (change.kind == DeviceChange::Changed) {
        line += ", \"previous\": " + DeviceAsJson(change.previous, change.previousArrival);
    }
    return line + "}\n";
}

std::string ChangeAsText(const DeviceChange& change, const std::string& time) {
    std::string line = time + " " + EventName(change.kind) + " " + DeviceName(change.record);
    if (change.kind != DeviceChange::Changed) {
        line += std::string(" at ") + change.record.szIPv4;
        const std::string name =
            Utf8DeviceText(change.record.szDnsName[0] != '\0' ? change.record.szDnsName
                                                              : change.record.szHostName);
        if (!name.empty() && name != Utf8DeviceText(change.record.szSerialNumber)) {
            line += " (" + name + ")";
        }
    } else {
        const std::vector<DeviceField> before =
            DeviceFields(change.previous, change.previousArrival);
        const std::vector<DeviceField> after = DeviceFields(change.record, change.arrival);
        const char* pszSeparator = ": ";
        for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
            if (before[i].value != after[i].value) {
                line += pszSeparator + std::string(after[i].pszKey) + " " + before[i].value +
                        " -> " + after[i].value;
                pszSeparator = ", ";
            }
        }
    }
    return TerminalTextFromUtf8(line) + "\n";
}
