#include "Metrics.h"

#include <cstdio>

#include "DeviceText.h"

namespace {

std::string LabelsOf(const DeviceRecord& record) {
    const char* pszName = record.szDnsName[0] != '\0' ? record.szDnsName : record.szHostName;
    const struct {
        const char* pszLabel;
        const char* pszValue;
    } labels[] = {
        {"serial", record.szSerialNumber},
        {"product", record.szModel},
        {"model", record.szModelDetail},
        {"address", record.szIPv4},
        {"name", pszName},
        {"firmware", record.szFirmwareVersion},
    };
    std::string text = "{";
    for (const auto& label : labels) {
        if (text.size() > 1) {
            text += ',';
        }
        text += std::string(label.pszLabel) + "=\"" +
                PrometheusLabelValue(Utf8DeviceText(label.pszValue)) + "\"";
    }
    return text + "}";
}

void Metric(std::string& out, const char* pszName, const char* pszType, const char* pszHelp) {
    out += std::string("# HELP ") + pszName + " " + pszHelp + "\n# TYPE " + pszName + " " +
           pszType + "\n";
}

std::string Number(double d) {
    char sz[64];
    std::snprintf(sz, sizeof(sz), "%.6g", d);
    return sz;
}

}  // namespace

std::string PrometheusLabelValue(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void CWatchMetrics::AddRound(const WatchRound& round, const std::vector<DeviceChange>& changes) {
    ++m_nSearches;
    m_dLastSeconds = round.dSeconds;
    m_nLastEndedAt = round.nEndedAt;
    if (round.nRepliesDropped >= 0) {
        m_bDropsCounted = true;
        m_nRepliesDropped += static_cast<std::uint64_t>(round.nRepliesDropped);
    }
    if (round.bFailed) {
        ++m_nFailures;
        return;
    }
    for (const DeviceChange& change : changes) {
        // A changed device is known by its key before the change (the key may change with it).
        const std::string key = DeviceWatchKey(change.previous);
        std::size_t i = 0;
        while (i < m_devices.size() && m_devices[i].key != key) {
            ++i;
        }
        if (i == m_devices.size()) {
            m_devices.push_back(Device{});
        }
        Device& device = m_devices[i];
        device.key = DeviceWatchKey(change.record);
        device.labels = LabelsOf(change.record);
        device.bUp = change.kind != DeviceChange::Vanished;
    }
}

std::string CWatchMetrics::Exposition() const {
    std::string out;
    Metric(out, "lorixlog_device_up", "gauge",
           "Whether the device answers (1) or has vanished (0): missed by 2 searches in a row.");
    // Two devices with the same labels (they differ only in the maker) make one series: up when
    // either is.
    std::vector<std::pair<std::string, bool>> series;
    std::size_t nUp = 0;
    for (const Device& device : m_devices) {
        nUp += device.bUp ? 1 : 0;
        std::size_t i = 0;
        while (i < series.size() && series[i].first != device.labels) {
            ++i;
        }
        if (i == series.size()) {
            series.emplace_back(device.labels, device.bUp);
        } else {
            series[i].second = series[i].second || device.bUp;
        }
    }
    for (const auto& [labels, bUp] : series) {
        out += "lorixlog_device_up" + labels + (bUp ? " 1\n" : " 0\n");
    }
    Metric(out, "lorixlog_devices", "gauge", "The devices that answer.");
    out += "lorixlog_devices " + std::to_string(nUp) + "\n";
    Metric(out, "lorixlog_searches_total", "counter", "The searches the watch made.");
    out += "lorixlog_searches_total " + std::to_string(m_nSearches) + "\n";
    Metric(out, "lorixlog_search_failures_total", "counter",
           "The searches that failed (no network, a send refused).");
    out += "lorixlog_search_failures_total " + std::to_string(m_nFailures) + "\n";
    Metric(out, "lorixlog_search_duration_seconds", "gauge", "How long the last search took.");
    out += "lorixlog_search_duration_seconds " + Number(m_dLastSeconds) + "\n";
    Metric(out, "lorixlog_last_search_timestamp_seconds", "gauge",
           "When the last search ended, in seconds since 1970.");
    out += "lorixlog_last_search_timestamp_seconds " + std::to_string(m_nLastEndedAt) + "\n";
    if (m_bDropsCounted) {
        Metric(out, "lorixlog_replies_dropped_total", "counter",
               "Replies the system dropped for a full receive buffer (a burst); the search asks "
               "again, so a device is missed only when they keep being dropped.");
        out += "lorixlog_replies_dropped_total " + std::to_string(m_nRepliesDropped) + "\n";
    }
    return out;
}
