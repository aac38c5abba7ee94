#include "DeviceExport.h"

#include <string_view>

#include "DeviceUrl.h"
#include "TextOutput.h"

namespace {

struct Field {
    const char* pszKey;
    std::string (*get)(const DeviceRecord&);
    bool bNumber;
};

const Field kFields[] = {
    {"ipv4", [](const DeviceRecord& d) { return std::string(d.szIPv4); }, false},
    {"port", [](const DeviceRecord& d) { return std::to_string(net::ntohs(d.addrIPv4.sin_port)); },
     true},
    {"ipv6", [](const DeviceRecord& d) { return std::string(d.szIPv6); }, false},
    {"dns_name", [](const DeviceRecord& d) { return std::string(d.szDnsName); }, false},
    {"maker", [](const DeviceRecord& d) { return std::string(d.szMaker); }, false},
    {"model", [](const DeviceRecord& d) { return std::string(d.szModel); }, false},
    {"model_detail", [](const DeviceRecord& d) { return std::string(d.szModelDetail); }, false},
    {"serial_number", [](const DeviceRecord& d) { return std::string(d.szSerialNumber); }, false},
    {"host_name", [](const DeviceRecord& d) { return std::string(d.szHostName); }, false},
    {"firmware_version", [](const DeviceRecord& d) { return std::string(d.szFirmwareVersion); },
     false},
    {"url", [](const DeviceRecord& d) { return BestDeviceUrl(d); }, false},
};

}  // namespace

std::string DevicesAsJson(const CDeviceInfo& info) {
    std::string out = "[";
    for (int i = 0; i < info.m_nDevices; ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        bool bFirst = true;
        for (const Field& field : kFields) {
            out += bFirst ? "" : ", ";
            bFirst = false;
            out += std::string("\"") + field.pszKey + "\": ";
            const std::string value = field.get(info.m_aDevices[i]);
            out += field.bNumber ? value : JsonStringFrom1252(value);
        }
        out += "}";
    }
    out += info.m_nDevices > 0 ? "\n]\n" : "]\n";
    return out;
}

std::string DevicesAsCsv(const CDeviceInfo& info) {
    std::string out;
    bool bFirst = true;
    for (const Field& field : kFields) {
        out += bFirst ? "" : ",";
        bFirst = false;
        out += field.pszKey;
    }
    out += "\r\n";
    for (int i = 0; i < info.m_nDevices; ++i) {
        bFirst = true;
        for (const Field& field : kFields) {
            out += bFirst ? "" : ",";
            bFirst = false;
            out += CsvFieldFrom1252(field.get(info.m_aDevices[i]));
        }
        out += "\r\n";
    }
    return out;
}
