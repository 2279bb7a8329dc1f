#include "Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace plat
{

namespace
{

constexpr int64_t kTicksPerMillisecond = 10000;
constexpr int64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr int64_t kTicksPerDay = 86400 * kTicksPerSecond;
constexpr int kMaxYear = 30827;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, valid for
// every year of the stored range (era arithmetic over 400-year cycles).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const int64_t kEpoch1601 = DaysFromCivil(1601, 1, 1);

SystemTime FromTm(const std::tm& tm, int milliseconds)
{
    SystemTime st;
    st.year = static_cast<uint16_t>(tm.tm_year + 1900);
    st.month = static_cast<uint16_t>(tm.tm_mon + 1);
    st.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st.day = static_cast<uint16_t>(tm.tm_mday);
    st.hour = static_cast<uint16_t>(tm.tm_hour);
    st.minute = static_cast<uint16_t>(tm.tm_min);
    // A leap second (60) shows as the last second of the minute.
    st.second = static_cast<uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    st.milliseconds = static_cast<uint16_t>(milliseconds);
    return st;
}

template <class Convert> SystemTime Now(Convert convert)
{
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    int milliseconds = static_cast<int>(ms % 1000);
    if (milliseconds < 0) {
        milliseconds += 1000;
        --seconds;
    }
    std::tm tm{};
    convert(&seconds, &tm);
    return FromTm(tm, milliseconds);
}

SystemClock g_systemClock;
std::atomic<const Clock*> g_clock{nullptr};

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays[month - 1];
}

int DayOfWeek(int year, int month, int day)
{
    // 1970-01-01 was a Thursday (4).
    const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const int64_t w = (days % 7 + 7 + 4) % 7;
    return static_cast<int>(w);
}

bool SystemTimeToFileTime(const SystemTime& in, FileTime& out)
{
    if (in.year < 1601 || in.year > kMaxYear || in.month < 1 || in.month > 12 || in.day < 1 ||
        in.day > DaysInMonth(in.year, in.month) || in.hour > 23 || in.minute > 59 || in.second > 59 ||
        in.milliseconds > 999)
        return false;
    const int64_t days = DaysFromCivil(in.year, in.month, in.day) - kEpoch1601;
    const int64_t ticks = days * kTicksPerDay +
                          (in.hour * 3600 + in.minute * 60 + in.second) * kTicksPerSecond +
                          in.milliseconds * kTicksPerMillisecond;
    out = static_cast<FileTime>(ticks);
    return true;
}

bool FileTimeToSystemTime(FileTime in, SystemTime& out)
{
    if (in >= (static_cast<FileTime>(1) << 63))
        return false;
    const int64_t ticks = static_cast<int64_t>(in);
    const int64_t days = ticks / kTicksPerDay;
    int64_t rest = ticks % kTicksPerDay;
    int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(days + kEpoch1601, y, m, d);
    if (y > kMaxYear)
        return false;
    SystemTime st;
    st.year = static_cast<uint16_t>(y);
    st.month = static_cast<uint16_t>(m);
    st.day = static_cast<uint16_t>(d);
    st.dayOfWeek =
        static_cast<uint16_t>(DayOfWeek(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)));
    st.hour = static_cast<uint16_t>(rest / (3600 * kTicksPerSecond));
    rest %= 3600 * kTicksPerSecond;
    st.minute = static_cast<uint16_t>(rest / (60 * kTicksPerSecond));
    rest %= 60 * kTicksPerSecond;
    st.second = static_cast<uint16_t>(rest / kTicksPerSecond);
    rest %= kTicksPerSecond;
    st.milliseconds = static_cast<uint16_t>(rest / kTicksPerMillisecond);
    out = st;
    return true;
}

SystemTime SystemClock::LocalNow() const
{
    return Now([](const std::time_t* t, std::tm* tm) { localtime_r(t, tm); });
}

SystemTime SystemClock::UtcNow() const
{
    return Now([](const std::time_t* t, std::tm* tm) { gmtime_r(t, tm); });
}

const Clock& GetClock()
{
    const Clock* clock = g_clock.load();
    return clock ? *clock : g_systemClock;
}

void SetClock(const Clock* clock)
{
    g_clock.store(clock);
}

ScopedClock::ScopedClock(const Clock& clock) : previous_(g_clock.load())
{
    SetClock(&clock);
}

ScopedClock::~ScopedClock()
{
    SetClock(previous_);
}

} // namespace plat
