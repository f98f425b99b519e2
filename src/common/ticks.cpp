#include "common/ticks.h"

#include <chrono>
#include <cmath>

#include "common/numbers.h"

namespace vandrel {

namespace {
TickSource gTickSource = nullptr;
}

void SetTickSource(TickSource source) { gTickSource = source; }

long long TickCountMs() {
  if (gTickSource != nullptr) return gTickSource();
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

long long TickSeconds(long long tickMs) {
  return static_cast<long long>(RoundHalfEven(static_cast<double>(tickMs) / 1000.0));
}

long long ElapsedMinutes(long long tickMs, long long startTime) {
  // Truncated: in the first half second the rounded start can lie ahead of
  // the clock, and that must show 0 minutes, not -1.
  return static_cast<long long>(
      std::trunc((static_cast<double>(tickMs) / 1000.0 - static_cast<double>(startTime)) / 60.0));
}

long long ElapsedSeconds(long long tickMs, long long startTime) {
  return (TickSeconds(tickMs) - startTime) % 60;
}

std::string ElapsedTimeText(long long t1Ms, long long t2Ms, long long startTime) {
  return "Elapsed time: " + FormatInt(ElapsedMinutes(t2Ms, startTime)) + " min, " +
         FormatInt(ElapsedSeconds(t1Ms, startTime)) + " sec";
}

std::string ElapsedTimeText(long long startTime) {
  const long long t1 = TickCountMs();
  const long long t2 = TickCountMs();
  return ElapsedTimeText(t1, t2, startTime);
}

}  // namespace vandrel
