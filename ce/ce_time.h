// Stand-in for the phone platform's time-zone query.
#pragma once

#include <cstdint>

namespace ce {

// What GetTimeZoneInformation reports, in minutes: UTC = local time + bias.
struct TimeZoneInformation {
    int32_t Bias = 0;          // the zone's standard offset, minutes west of UTC
    int32_t StandardBias = 0;  // added to Bias in standard time
    int32_t DaylightBias = 0;  // added to Bias in daylight-saving time
};

constexpr uint32_t TIME_ZONE_ID_UNKNOWN = 0;
constexpr uint32_t TIME_ZONE_ID_STANDARD = 1;
constexpr uint32_t TIME_ZONE_ID_DAYLIGHT = 2;
constexpr uint32_t TIME_ZONE_ID_INVALID = 0xFFFFFFFF;

// The host's zone as it stands now (the TZ environment variable, else the
// system's zone): TIME_ZONE_ID_DAYLIGHT while daylight-saving time is in
// force, else TIME_ZONE_ID_STANDARD; TIME_ZONE_ID_INVALID when the local
// time cannot be read or info is null.
uint32_t GetTimeZoneInformation(TimeZoneInformation* info);

}  // namespace ce
