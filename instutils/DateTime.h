// Date-time values: a double counting days since 1899-12-30 00:00 local
// time, the fraction being the time of day. Files get their times through the
// two-second DOS date and time form. Pure arithmetic, no Windows API.
#pragma once

#include <cstdint>

namespace qwp {

struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// False (and the value untouched) when a part is out of range. Years 1 to 9999.
bool EncodeDateTime(const DateTimeParts& parts, double& value);

// Splits a value into calendar parts, the time rounded to the millisecond.
// False for values outside years 1 to 9999 and for NaN.
bool DecodeDateTime(double value, DateTimeParts& parts);

struct DosDateTime {
    std::uint16_t date = 0;  // (year - 1980) * 512 + month * 32 + day
    std::uint16_t time = 0;  // hour * 2048 + minute * 32 + second / 2
};

// The DOS form of a value: seconds halved (two-second resolution); a year
// outside 1980 to 2099, or a value that is no date at all, gives 0 and 0.
DosDateTime DateTimeToDos(double value);

// The value of a DOS date and time: the day of year, month and day, plus the
// time of day at two-second resolution.
double DosToDateTime(DosDateTime dos);

}  // namespace qwp
