#include "DeviceFields.h"

#include "DeviceText.h"
#include "DeviceUrl.h"

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

std::vector<const char*> DeviceFieldKeys() {
    std::vector<const char*> keys;
    for (const Field& field : kFields) {
        keys.push_back(field.pszKey);
    }
    return keys;
}

std::vector<DeviceField> DeviceFields(const DeviceRecord& record, const DeviceArrival& arrival) {
    std::vector<DeviceField> fields;
    for (const Field& field : kFields) {
        fields.push_back(
            DeviceField{field.pszKey, field.get(record, arrival), field.kind == Kind::Text});
    }
    return fields;
}
