#include "DeviceExport.h"

#include "DeviceFields.h"
#include "TextOutput.h"

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
    for (const char* pszKey : DeviceFieldKeys()) {
        out += bFirst ? "" : ",";
        bFirst = false;
        out += pszKey;
    }
    out += "\r\n";
    for (int i = 0; i < info.m_nDevices; ++i) {
        bFirst = true;
        for (const DeviceField& field : DeviceFields(info.m_aDevices[i], info.m_aArrivals[i])) {
            out += bFirst ? "" : ",";
            bFirst = false;
            out += CsvFieldFromUtf8(field.value);
        }
        out += "\r\n";
    }
    return out;
}
