// The tick count of long operations and the elapsed-time texts shown while
// they run.
#pragma once

#include <string>

namespace vandrel {

// Milliseconds of a steady clock. Tests may replace the source.
using TickSource = long long (*)();
void SetTickSource(TickSource source);  // nullptr = the steady clock
long long TickCountMs();

// A tick count in whole seconds, rounded half to even (the start time of a
// long operation).
long long TickSeconds(long long tickMs);
inline long long TickSeconds() { return TickSeconds(TickCountMs()); }

// Whole minutes since `startTime` (seconds) at `tickMs`, the seconds not rounded.
long long ElapsedMinutes(long long tickMs, long long startTime);
// Seconds since `startTime` at `tickMs` rounded to whole seconds, modulo 60.
long long ElapsedSeconds(long long tickMs, long long startTime);
// "Elapsed time: M min, S sec", the minutes from the reading t2 and the
// seconds from the reading t1.
std::string ElapsedTimeText(long long t1Ms, long long t2Ms, long long startTime);
// The same from two readings taken now.
std::string ElapsedTimeText(long long startTime);

}  // namespace vandrel
