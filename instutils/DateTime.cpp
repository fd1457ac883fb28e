#include "instutils/DateTime.h"

#include <cmath>

namespace qwp {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 in the proleptic Gregorian calendar.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long kEpochFromUnix = DaysFromCivil(1899, 12, 30);

}  // namespace

bool EncodeDateTime(const DateTimeParts& p, double& value) {
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59 || p.millisecond < 0 || p.millisecond > 999)
        return false;
    const double days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kEpochFromUnix);
    const double ms = ((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond;
    // Before the epoch the day counts down but the fraction still counts the
    // time of day forward, so the fraction's sign follows the day's.
    value = days >= 0 ? days + ms / kMillisecondsPerDay : days - ms / kMillisecondsPerDay;
    return true;
}

bool DecodeDateTime(double value, DateTimeParts& p) {
    if (!std::isfinite(value)) return false;
    constexpr double kMin = -693593.0;  // 0001-01-01
    constexpr double kMax = 2958466.0;  // 10000-01-01
    if (value <= kMin - 1 || value >= kMax) return false;
    double wholeDays = std::trunc(value);
    double ms = std::round(std::fabs(value - wholeDays) * kMillisecondsPerDay);
    if (ms >= kMillisecondsPerDay) {  // rounding reached the next midnight
        ms = 0;
        wholeDays += value >= 0 ? 1 : -1;
    }
    long days = static_cast<long>(wholeDays) + kEpochFromUnix;
    CivilFromDays(days, p.year, p.month, p.day);
    if (p.year < 1 || p.year > 9999) return false;
    long rest = static_cast<long>(ms);
    p.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    p.second = static_cast<int>(rest % 60);
    rest /= 60;
    p.minute = static_cast<int>(rest % 60);
    p.hour = static_cast<int>(rest / 60);
    return true;
}

DosDateTime DateTimeToDos(double value) {
    DateTimeParts p;
    if (!DecodeDateTime(value, p) || p.year < 1980 || p.year > 2099) return {};
    DosDateTime dos;
    dos.date = static_cast<std::uint16_t>((p.year - 1980) * 512 + p.month * 32 + p.day);
    dos.time = static_cast<std::uint16_t>(p.hour * 2048 + p.minute * 32 + p.second / 2);
    return dos;
}

double DosToDateTime(DosDateTime dos) {
    const int year = 1980 + (dos.date >> 9);
    const int month = (dos.date >> 5) & 15;
    const int day = dos.date & 31;
    const int hour = dos.time >> 11;
    const int minute = (dos.time >> 5) & 63;
    const int second2 = dos.time & 31;
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpochFromUnix);
    const double ms = hour * 3600000.0 + minute * 60000.0 + 2.0 * second2 * 1000.0;
    return days + ms / kMillisecondsPerDay;
}

}  // namespace qwp
