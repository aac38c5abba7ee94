#include "DeviceExport.h"

#include <string_view>

#include "DeviceText.h"
#include "DeviceUrl.h"
#include "TextOutput.h"

namespace {

enum class Kind { Text, Number, Boolean };

struct Field {
    const char* pszKey;
    std::string (*get)(const DeviceRecord&, const DeviceArrival&);
    Kind kind;
};

const Field kFields[] = {
    {"ipv4", [](const DeviceRecord& d, const DeviceArrival&) { return std::string(d.szIPv4); },
     Kind::Text},
    {"port",
     [](const DeviceRecord& d, const DeviceArrival&) {
         return std::to_string(net::ntohs(d.addrIPv4.sin_port));
     },
     Kind::Number},
    {"ipv6", [](const DeviceRecord& d, const DeviceArrival&) { return std::string(d.szIPv6); },
     Kind::Text},
    {"dns_name",
     [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szDnsName); },
     Kind::Text},
    {"maker", [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szMaker); },
     Kind::Text},
    {"model", [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szModel); },
     Kind::Text},
    {"model_detail",
     [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szModelDetail); },
     Kind::Text},
    {"serial_number",
     [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szSerialNumber); },
     Kind::Text},
    {"host_name",
     [](const DeviceRecord& d, const DeviceArrival&) { return Utf8DeviceText(d.szHostName); },
     Kind::Text},
    {"firmware_version",
     [](const DeviceRecord& d, const DeviceArrival&) {
         return Utf8DeviceText(d.szFirmwareVersion);
     },
     Kind::Text},
    {"url", [](const DeviceRecord& d, const DeviceArrival&) { return BestDeviceUrl(d); },
     Kind::Text},
    {"local_interface",
     [](const DeviceRecord&, const DeviceArrival& a) { return Utf8DeviceText(a.szInterface); },
     Kind::Text},
    {"local_address",
     [](const DeviceRecord&, const DeviceArrival& a) { return std::string(a.szLocalAddress); },
     Kind::Text},
    {"reachable",
     [](const DeviceRecord&, const DeviceArrival& a) {
         return std::string(a.bReachable ? "true" : "false");
     },
     Kind::Boolean},
};

}  // namespace

std::vector<DeviceField> DeviceFields(const DeviceRecord& record, const DeviceArrival& arrival) {
    std::vector<DeviceField> fields;
    for (const Field& field : kFields) {
        fields.push_back(
            DeviceField{field.pszKey, field.get(record, arrival), field.kind == Kind::Text});
    }
    return fields;
}

std::string DeviceAsJson(const DeviceRecord& record, const DeviceArrival& arrival) {
    std::string out = "{";
    for (const DeviceField& field : DeviceFields(record, arrival)) {
        out += out.size() > 1 ? ", " : "";
        out += std::string("\"") + field.pszKey + "\": ";
        out += field.bText ? JsonStringFromUtf8(field.value) : field.value;
    }
    return out + "}";
}

std::string DevicesAsJson(const CDeviceInfo& info) {
    std::string out = "[";
    for (int i = 0; i < info.m_nDevices; ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        out += DeviceAsJson(info.m_aDevices[i], info.m_aArrivals[i]);
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
            out += CsvFieldFromUtf8(field.get(info.m_aDevices[i], info.m_aArrivals[i]));
        }
        out += "\r\n";
    }
    return out;
}
