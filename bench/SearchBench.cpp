// Micro-benchmarks of the search's hot paths: parsing replies, storing devices and appending to
// the report, and reading a large target list. Run by hand: build/default/bench/search_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DeviceInfo.h"
#include "ReportText.h"
#include "TargetList.h"

namespace {

void BM_ParseDeviceReply(benchmark::State& state) {
    const char* pszReply = "TVK,lorixLOG,LX-8,A20988,lab-north.example.lan,3.2.0";
    DeviceRecord record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDeviceReply(pszReply, "TVK,lorix", "lorix", &record));
    }
}
BENCHMARK(BM_ParseDeviceReply);

/// The record of device i of a plant: its own address and serial number.
DeviceRecord PlantDevice(int i) {
    DeviceRecord record;
    char szReply[64];
    std::snprintf(szReply, sizeof(szReply), "TVK,lorixA,B,%04d,h,1", i);
    ParseDeviceReply(szReply, "TVK,lorix", "lorix", &record);
    record.addrIPv4.sin_family = net::AF_INET;
    record.addrIPv4.sin_addr.s_addr = net::htonl(0x0A3C0000u + static_cast<std::uint32_t>(i) + 2);
    return record;
}

void BM_RepeatAgainstFullTable(benchmark::State& state) {
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    for (int i = 0; i < kMaxDevices; ++i) {
        info.AddDevice(PlantDevice(i));  // each from its own address: the whole table fills
    }
    // The worst case: a repeat of the last record is compared with all thousand.
    const DeviceRecord record = PlantDevice(kMaxDevices - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(info.AddDevice(record));
    }
    state.counters["records"] = info.m_nDevices;
}
BENCHMARK(BM_RepeatAgainstFullTable);

void BM_FillTableInRandomOrder(benchmark::State& state) {
    // A plant's burst: a thousand devices in no particular order of serial numbers, each insert
    // moving the records behind it.
    std::vector<DeviceRecord> records;
    for (int i = 0; i < kMaxDevices; ++i) {
        records.push_back(PlantDevice((i * 7919) % kMaxDevices));
    }
    auto pInfo = std::make_unique<CDeviceInfo>();
    for (auto _ : state) {
        pInfo->ClearDevices();
        for (const DeviceRecord& record : records) {
            pInfo->AddDevice(record);
        }
    }
    state.SetItemsProcessed(state.iterations() * kMaxDevices);
}
BENCHMARK(BM_FillTableInRandomOrder)->Unit(benchmark::kMillisecond);

void BM_ReadLargestJsonTargetList(benchmark::State& state) {
    // The JSON that --json writes, as large as a target list may be (16 MiB).
    const std::string entry =
        "  {\"ipv4\": \"10.88.0.20\", \"port\": 9959, \"ipv6\": \"\", \"dns_name\": \"\", "
        "\"serial_number\": \"A1\"},\n";
    std::string json = "[\n";
    while (json.size() + entry.size() + 64 < kLargestTargetList) {
        json += entry;
    }
    json += "  {\"ipv4\": \"10.88.0.21\"}\n]\n";
    for (auto _ : state) {
        std::vector<SearchTarget> targets;
        std::vector<TargetListError> errors;
        benchmark::DoNotOptimize(
            ParseTargetList(json, &targets, &errors, nullptr, Language::English));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(json.size()));
}
BENCHMARK(BM_ReadLargestJsonTargetList)->Unit(benchmark::kMillisecond);

void BM_ReadLargestMalformedList(benchmark::State& state) {
    // 16 MiB of lines that are no targets: the first twenty are named, the rest counted.
    std::string list;
    for (int i = 0; list.size() + 32 < kLargestTargetList; ++i) {
        list += "not a target " + std::to_string(i) + "\n";
    }
    for (auto _ : state) {
        std::vector<SearchTarget> targets;
        std::vector<TargetListError> errors;
        benchmark::DoNotOptimize(
            ParseTargetList(list, &targets, &errors, nullptr, Language::English));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}
BENCHMARK(BM_ReadLargestMalformedList)->Unit(benchmark::kMillisecond);

void BM_ReportDeviceDescription(benchmark::State& state) {
    CReportText report;
    CDeviceInfo table;
    DeviceRecord record;
    ParseDeviceReply("TVK,lorixLOG,LX-8,A20988,lab-north.example.lan,3.2.0", "TVK,lorix", "lorix",
                     &record);
    std::strcpy(record.szIPv4, "10.77.0.21");
    for (auto _ : state) {
        // Runs into the 32000-character limit again and again, so trimming is included.
        table.ReportDevice(record, report);
    }
}
BENCHMARK(BM_ReportDeviceDescription);

}  // namespace

BENCHMARK_MAIN();
