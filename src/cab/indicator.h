// A panel lamp that shows a value steadily or blinks it.
#pragma once

#include <cstdint>

#include "cab/channels.h"
#include "cab/timers.h"
#include "config/confload.h"

struct Indicator {
  OptionId option;     // first value: panel index; second value: blink period in ms
  int32_t value;       // panel value while lit
  int32_t blinkTimer;  // kTimerStopped: steady; otherwise the tOn timer of the blinking
  bool lit;            // lit at the moment
  bool hasPeriod;      // the option has a second value, the blink period
  int32_t period;      // that blink period in ms, read once: options stay as they are in a run
};

// A dark, steady lamp of the option as it is set now.
Indicator NewIndicator(int optionIndex, int value);
// Lit with `value` without blinking (dark with 0).
void SetSteady(Indicator& lamp, int32_t value);
// Lit with `value` and blinking from now on.
void SetFlashing(Indicator& lamp, int32_t value);
// Drives the lamp's panel element: advances the blinking and writes lit value or 0. Inline: the
// systems that blink lamps call it every frame.
inline void ShowIndicator(Indicator& indicator) {
  if (indicator.option == OPTION_COUNT) return;  // refers to no option
  int32_t index = Opt(indicator.option);
  if (index == kUnwired) return;
  if (indicator.blinkTimer != kTimerStopped && indicator.hasPeriod) {
    if (tOn(indicator.blinkTimer, gState.Time, indicator.period)) indicator.lit = !indicator.lit;
  }
  SetPanel(index, indicator.lit ? indicator.value : 0);
}
