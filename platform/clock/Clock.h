#pragma once
// Calendar time for the whole system: the fields of a calendar moment, the 64-bit
// time value that bills store (100-ns ticks since 1601-01-01, no time zone), and
// the one clock every "today" and "now" comes from. Tests pin the clock, so no
// result ever depends on when or where a test runs.

#include <cstdint>

namespace plat
{

// The calendar fields of one moment, in the order Windows' SYSTEMTIME keeps them.
// dayOfWeek runs from 0 (Sunday) to 6.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// 100-nanosecond ticks since 1601-01-01 00:00, taken from the calendar fields as
// they stand (no time-zone conversion).
using FileTime = uint64_t;

bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1-12.
int DaysInMonth(int year, int month);
// 0 (Sunday) to 6 for a valid date of the proleptic Gregorian calendar.
int DayOfWeek(int year, int month, int day);

// False, and out untouched, when a field is out of range: year 1601-30827, month
// 1-12, day within the month, hour 0-23, minute and second 0-59, milliseconds
// 0-999. dayOfWeek is ignored.
bool SystemTimeToFileTime(const SystemTime& in, FileTime& out);
// False, and out untouched, for a value whose year would pass 30827 (the top bit
// set). dayOfWeek is filled in.
bool FileTimeToSystemTime(FileTime in, SystemTime& out);

// Where the current time comes from.
class Clock
{
public:
    virtual ~Clock() = default;
    // The date and time of the person at the machine.
    virtual SystemTime LocalNow() const = 0;
    virtual SystemTime UtcNow() const = 0;
};

// The machine's clock.
class SystemClock final : public Clock
{
public:
    SystemTime LocalNow() const override;
    SystemTime UtcNow() const override;
};

// A clock that stands still at the given local and UTC moments (tests).
class FixedClock final : public Clock
{
public:
    FixedClock(const SystemTime& local, const SystemTime& utc) : local_(local), utc_(utc) {}
    // Local and UTC the same.
    explicit FixedClock(const SystemTime& both) : local_(both), utc_(both) {}
    SystemTime LocalNow() const override { return local_; }
    SystemTime UtcNow() const override { return utc_; }

private:
    SystemTime local_;
    SystemTime utc_;
};

// The clock in use: the system clock unless one was set. The caller keeps a set
// clock alive until it is replaced; null goes back to the system clock.
const Clock& GetClock();
void SetClock(const Clock* clock);

inline SystemTime LocalNow()
{
    return GetClock().LocalNow();
}
inline SystemTime UtcNow()
{
    return GetClock().UtcNow();
}

// Sets a clock for the lifetime of the object and puts the previous one back.
class ScopedClock
{
public:
    explicit ScopedClock(const Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    const Clock* previous_;
};

} // namespace plat
