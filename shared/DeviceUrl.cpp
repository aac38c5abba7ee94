#include "DeviceUrl.h"

std::string BestDeviceUrl(const DeviceRecord& record) {
    if (record.szIPv4[0] != '\0') {
        return std::string("http://") + record.szIPv4 + "/";
    }
    if (record.szIPv6[0] != '\0') {
        return std::string("http://[") + record.szIPv6 + "]/";
    }
    if (record.szDnsName[0] != '\0') {
        return std::string("http://") + record.szDnsName + "/";
    }
    if (record.szHostName[0] != '\0') {
        return std::string("http://") + record.szHostName + "/";
    }
    return std::string();
}
