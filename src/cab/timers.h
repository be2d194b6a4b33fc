// Time on the host's clock: differences that wrap like it, the periodic timer test and the
// two ways a timer is restarted.
#pragma once

#include <cstdint>

#include "cab/host.h"

// Milliseconds from `since` to `now`, wrapping like the host's 32-bit clock.
inline int32_t TimeDiff(int32_t now, int32_t since) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}

// Periodic timer test: a timer of 0 is armed and starts at this call (false); afterwards it
// fires (true) once per elapsed period and keeps its cadence when called late: the next period
// counts from when this one was due, not from now.
inline bool tOn(int32_t& timer, int32_t now, int32_t period) {
  if (timer == 0) {
    timer = now;
    return false;
  }
  if (TimeDiff(now, timer) >= period) {
    timer = static_cast<int32_t>(static_cast<uint32_t>(timer) + static_cast<uint32_t>(period));
    return true;
  }
  return false;
}

// The other habit: the timer starts again at this frame's time, so the next period counts from
// now and any lateness is dropped. Used where a device starts or re-starts a delay.
inline void RestartAtNow(int32_t& timer) { timer = gState.Time; }
