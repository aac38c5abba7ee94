// The device table: the records of the devices the latest search found, the settings of the
// search, and the report lines that describe devices.
#pragma once

#include <cstddef>
#include <cstdint>

#include <string>
#include <vector>

#include "SearchOutcome.h"
#include "SearchSettings.h"
#include "SearchTarget.h"
#include "net/SocketLayer.h"

class CReportSink;

/// One found device: a plain 1500-byte record, copied and compared as a whole. Text fields are
/// 8-bit, zero-terminated within their width; a field the reply did not supply stays empty.
struct DeviceRecord {
    net::sockaddr_in addrIPv4;   ///< source of the reply (family, port, address; zero padding)
    net::sockaddr_in6 addrIPv6;  ///< reserved for an IPv6 source; zero
    char szIPv4[72];             ///< dotted-decimal text of the source address
    char szIPv6[72];             ///< text of an IPv6 source; empty
    std::uint32_t nIPv6ScopeId;  ///< scope of an IPv6 source; zero
    char szDnsName[1028];        ///< reply field 5 as a whole when it holds a '.'
    char szMaker[40];            ///< reply field 1, "TVK"
    char szModel[40];            ///< reply field 2, begins with the model prefix
    char szModelDetail[40];      ///< reply field 3
    char szSerialNumber[40];     ///< reply field 4; the table's sort key
    char szHostName[80];         ///< reply field 5 up to its first '.'
    char szFirmwareVersion[40];  ///< reply field 6
};
static_assert(sizeof(DeviceRecord) == 1500, "a device record is 1500 bytes");
static_assert(offsetof(DeviceRecord, szIPv4) == 44);
static_assert(offsetof(DeviceRecord, szDnsName) == 192);
static_assert(offsetof(DeviceRecord, szFirmwareVersion) == 1460);

/// The records the table holds at most: a plant network has more than forty loggers, and the
/// table still bounds what a flood of replies can fill.
constexpr int kMaxDevices = 1000;
/// The records one source address can take: a host that answers with ever-new serial numbers
/// cannot push the other devices out of the table.
constexpr int kMaxRecordsPerAddress = 4;
constexpr std::uint16_t kDiscoveryPort = 9959;
/// The pace of queries to targets beyond the local networks when none is given (queries a
/// second). A router keeps an address it is still resolving for about 3 seconds, and a Linux
/// router keeps at most 1024 neighbour entries by default: at this pace a sweep holds about 620
/// of them unresolved at once (bench/sweep.sh), which leaves the rest for other traffic (the
/// entries of addresses that failed to resolve are reclaimed as the router needs room).
constexpr int kDefaultQueriesPerSecond = 200;
/// The addresses one search queries beyond the local networks at most, when no bound is given:
/// a /12 of them takes more than an hour at the default pace, and a list that holds more is more
/// likely a mistake than a plan.
constexpr std::uint32_t kDefaultMostTargetAddresses = 1048576;

/// Where the reply of a stored device came in, beside its record (which keeps its layout).
struct DeviceArrival {
    char szLocalAddress[16];  ///< the computer's address the reply was sent to; empty: not known
    char szInterface[64];     ///< the name of the interface it came in on; empty: not known
    bool bReachable;          ///< whether the computer has a route to the device's address
};

/// The device table, the model prefix the search looks for and the diagnostic level. The desktop
/// program's one table is g_DeviceInfo (app/); lorixlog-find and its watch hold tables of their
/// own. The search fills a table, the dialogs only read it.
class CDeviceInfo {
public:
    /// Result of AddDevice when the record repeats a stored one.
    static constexpr int ADD_REPEAT = -1;
    /// Result of AddDevice when the table already holds kMaxDevices records.
    static constexpr int ADD_TABLE_FULL = -2;
    /// Result of AddDevice when the record's source address has kMaxRecordsPerAddress records.
    static constexpr int ADD_ADDRESS_FULL = -3;

    CDeviceInfo();
    ~CDeviceInfo();
    CDeviceInfo(const CDeviceInfo&) = delete;
    CDeviceInfo& operator=(const CDeviceInfo&) = delete;

    /// At 1 or more the search writes one line per broadcast target and target; at 2 or more
    /// also one line per interface address.
    std::int32_t m_nVerbosity;
    /// Number of valid records, 0 to kMaxDevices.
    std::int32_t m_nDevices;
    /// Model prefix that replies must carry ("lorix"); the last byte is always zero.
    char m_szModelPrefix[40];
    /// Records 0..m_nDevices-1, sorted by serial number in byte order; the rest all zero. The
    /// table lives in zero-filled memory of its own (its pages are taken as records fill them);
    /// it is used as the array it is.
    DeviceRecord (&m_aDevices)[kMaxDevices];
    /// Where the reply of each record came in; kept in the records' order.
    DeviceArrival (&m_aArrivals)[kMaxDevices];

    /// Zero-fills the table and sets the count to 0.
    void ClearDevices();
    /// Stores a copy of the record in serial-number order, after records with an equal serial
    /// number, with where its reply came in (zero when not given). Returns its index,
    /// ADD_REPEAT when an equal record (all 1500 bytes) is stored already, ADD_TABLE_FULL when
    /// the table is full, or ADD_ADDRESS_FULL when its source address has
    /// kMaxRecordsPerAddress records already; in these cases nothing changes.
    int AddDevice(const DeviceRecord& record, const DeviceArrival* pArrival = nullptr);
    /// Appends the description of the record to the report, ending with an empty line.
    void ReportDevice(const DeviceRecord& record, CReportSink& report);
    /// Resets the report, writes the line that opens a search and describes every stored record.
    void ReportSearchStart(CReportSink& report);
    /// Runs one complete search with the settings: broadcasts "*IDN?" to port 9959 (each
    /// distinct broadcast address of an interface that can broadcast, once), queries the
    /// settings' targets at their pace, and stores and describes the devices that answer until
    /// the network has been quiet for about four seconds (at most 30 s in all). The table keeps
    /// the verbosity and the model prefix it was searched with (m_nVerbosity, m_szModelPrefix).
    /// Blocks the calling thread, calling pHost (may be null) at least every 100 ms. A query that
    /// cannot be sent to one address, and a datagram too long to receive, are warnings; the search
    /// goes on. Other failures, and sends that all fail, end the search with an error line in the
    /// report. Writes to the report it is handed (CNullReport: none). Returns how the search ended.
    SearchOutcome SearchDevices(const SearchSettings& settings, CReportSink& report,
                                CSearchHost* pHost);
    /// A search of the local networks with the table's own verbosity and model prefix.
    SearchOutcome SearchDevices(CReportSink& report, CSearchHost* pHost);
};
