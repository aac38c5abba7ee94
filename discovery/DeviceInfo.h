// Device discovery, as the front ends see it: the device table, the replies it is filled from and
// the search. The discovery's own files include the headers of one concern below instead.
#pragma once

#include "DeviceReply.h"
#include "DeviceTable.h"
#include "Search.h"
