#include "DeviceUrl.h"

#include "DeviceText.h"

std::string BestDeviceUrl(const DeviceRecord& record) {
    if (record.szIPv4[0] != '\0') {
        return std::string("http://") + record.szIPv4 + "/";
    }
    if (record.szIPv6[0] != '\0') {
        return std::string("http://[") + record.szIPv6 + "]/";
    }
    if (IsDnsHostName(record.szDnsName)) {
        return std::string("http://") + record.szDnsName + "/";
    }
    if (IsDnsHostName(record.szHostName)) {
        return std::string("http://") + record.szHostName + "/";
    }
    return std::string();
}
