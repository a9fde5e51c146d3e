// Stand-in for the phone platform's time-zone query, from the C library's
// view of the host's zone.
#include "ce_time.h"

#include <ctime>
#include <mutex>

namespace ce {

uint32_t GetTimeZoneInformation(TimeZoneInformation* info) {
    if (info == nullptr) return TIME_ZONE_ID_INVALID;
    // tzset and the global it fills are not thread-safe on their own.
    static std::mutex zoneMutex;
    std::lock_guard<std::mutex> guard(zoneMutex);
    ::tzset();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return TIME_ZONE_ID_INVALID;
    const int32_t westNow = int32_t(-local.tm_gmtoff / 60);  // minutes west of UTC right now
    *info = TimeZoneInformation{};
    info->Bias = int32_t(::timezone / 60);
    if (local.tm_isdst > 0) {
        info->DaylightBias = westNow - info->Bias;
        return TIME_ZONE_ID_DAYLIGHT;
    }
    // A zone whose standard offset changed over the years: today's counts.
    info->StandardBias = westNow - info->Bias;
    return TIME_ZONE_ID_STANDARD;
}

}  // namespace ce
