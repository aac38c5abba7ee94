// Micro-benchmarks of the search's hot paths: parsing replies, storing devices and appending to
// the report. Run by hand: build/default/bench/search_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "DeviceInfo.h"
#include "ReportText.h"

namespace {

void BM_ParseDeviceReply(benchmark::State& state) {
    const char* pszReply = "TVK,lorixLOG,LX-8,A20988,lab-north.example.lan,3.2.0";
    DeviceRecord record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDeviceReply(pszReply, "TVK,lorix", "lorix", &record));
    }
}
BENCHMARK(BM_ParseDeviceReply);

void BM_RepeatAgainstFullTable(benchmark::State& state) {
    // A table is too large for a thread's stack on Windows.
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    DeviceRecord record;
    for (int i = 0; i < kMaxDevices; ++i) {
        char szReply[64];
        std::snprintf(szReply, sizeof(szReply), "TVK,lorixA,B,%03d,h,1", i);
        ParseDeviceReply(szReply, "TVK,lorix", "lorix", &record);
        info.AddDevice(record);
    }
    // The worst case: a repeat of the last record is compared with all forty.
    for (auto _ : state) {
        benchmark::DoNotOptimize(info.AddDevice(record));
    }
}
BENCHMARK(BM_RepeatAgainstFullTable);

void BM_ReportDeviceDescription(benchmark::State& state) {
    CReportText report;
    DeviceRecord record;
    ParseDeviceReply("TVK,lorixLOG,LX-8,A20988,lab-north.example.lan,3.2.0", "TVK,lorix", "lorix",
                     &record);
    std::strcpy(record.szIPv4, "10.77.0.21");
    for (auto _ : state) {
        // Runs into the 32000-character limit again and again, so trimming is included.
        g_DeviceInfo.ReportDevice(record, &report);
    }
}
BENCHMARK(BM_ReportDeviceDescription);

}  // namespace

BENCHMARK_MAIN();
