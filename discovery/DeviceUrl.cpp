#include "DeviceUrl.h"

#include "DeviceText.h"

std::string BestDeviceAddress(const DeviceRecord& record) {
    if (record.szIPv4[0] != '\0') {
        return record.szIPv4;
    }
    if (record.szIPv6[0] != '\0') {
        return record.szIPv6;
    }
    if (IsDnsHostName(record.szDnsName)) {
        return record.szDnsName;
    }
    if (IsDnsHostName(record.szHostName)) {
        return record.szHostName;
    }
    return std::string();
}

std::string BestDeviceUrl(const DeviceRecord& record) {
    const std::string address = BestDeviceAddress(record);
    if (address.empty()) {
        return address;
    }
    if (record.szIPv4[0] == '\0' && record.szIPv6[0] != '\0') {
        return "http://[" + address + "]/";
    }
    return "http://" + address + "/";
}
