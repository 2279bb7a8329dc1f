#pragma once
// Calendar moments and their tick values for the clock, date-text and format tests.

#include "Clock.h"

#include <gtest/gtest.h>

#include <cstdint>

inline plat::SystemTime Moment(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    plat::SystemTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(mo);
    t.day = static_cast<uint16_t>(d);
    t.hour = static_cast<uint16_t>(h);
    t.minute = static_cast<uint16_t>(mi);
    t.second = static_cast<uint16_t>(s);
    t.milliseconds = static_cast<uint16_t>(ms);
    return t;
}

// The ticks of a moment that must be a valid one.
inline uint64_t Ticks(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    uint64_t ticks = 0;
    EXPECT_TRUE(plat::SystemTimeToFileTime(Moment(y, mo, d, h, mi, s), ticks));
    return ticks;
}
