#include "ProgramTable.h"

CDeviceInfo g_DeviceInfo;
