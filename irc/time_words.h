// Times as people read them: a moment in the local time of the machine, and
// a span in days, hours, minutes and seconds.
#pragma once

#include "irc/text.h"

// Seconds since 1970-01-01 00:00 UTC, as servers send them, when the text
// is all digits and such a number; false otherwise.
bool ReadSeconds(const char* pText, size_t nLen, long long& nSeconds);

// "2023-11-14 22:13" in local time, with ":20" added when bWithSeconds; the
// number itself when the system cannot say which day it is.
void AddLocalTime(TextBuilder& out, long long nSeconds, bool bWithSeconds);

// "1 hour 2 minutes 5 seconds": the parts that are not zero, "0 seconds"
// for none.
void AddSpanInWords(TextBuilder& out, long long nSeconds);
