// The desktop program's one device table: the main window's search fills it, the device list
// reads it. (lorixlog-find and its watch hold tables of their own.)
#pragma once

#include "DeviceInfo.h"

extern CDeviceInfo g_DeviceInfo;
