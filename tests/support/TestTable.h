// The device table of the tests that link only the core: one for the whole test program, as each
// program has its own.
#pragma once

#include "DeviceInfo.h"

inline CDeviceInfo& TestTable() {
    static CDeviceInfo table;
    return table;
}
