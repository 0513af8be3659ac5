#include "core/calendar.h"

#include <ctime>

PlatformDate calendarDate(long long seconds, bool local)
{
    std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts = {};
    if (local) localtime_r(&when, &parts);
    else gmtime_r(&when, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}
