// Seconds since 1970 as a date and a time of day, for the platform back ends.
#pragma once

#include "core/platform.h"

// In the local time zone when local is set, else in universal time.
PlatformDate calendarDate(long long seconds, bool local);
