#pragma once
// Date and time texts in the user's locale (LC_ALL / LC_TIME / LANG).
#include <string>

// The date in the locale's short date format, then a space and the time in the
// locale's time format with seconds and without a time zone; the date alone
// when dateOnly is set. The fields must form a valid date and time.
std::string LocaleDateTimeText(int year, int month, int day, int hour, int minute, int second, bool dateOnly);
