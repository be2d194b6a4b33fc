// A panel lamp that shows a value steadily or blinks it.
#pragma once

#include <cstdint>

#include "cab/channels.h"
#include "cab/timers.h"
#include "config/confload.h"

enum LampPhase : uint8_t {
  kLampSteady,    // shows its value, or dark
  kLampBlinking,  // alternates between its value and dark, once per period
};

struct Indicator {
  OptionId option;     // first value: panel index; second value: blink period in ms
  int32_t element;     // the panel element it drives, read when it is made; kUnwired for none
  int32_t value;       // panel value while lit
  LampPhase phase;     // steady or blinking
  int32_t blinkTimer;  // tOn timer of the blinking, while it blinks
  bool lit;            // lit at the moment
  bool hasPeriod;      // the option has a second value, the blink period
  int32_t period;      // that blink period in ms, read once: options stay as they are in a run
  int32_t shown;       // what the element shows: value while lit, 0 while dark; set with lit and value
};

// A dark, steady lamp of the option as it is set now: options stay as they are in a run.
Indicator NewIndicator(int optionIndex, int value);
// Lit with `value` without blinking (dark with 0).
void SetSteady(Indicator& lamp, int32_t value);
// Lit with `value` and blinking from now on.
void SetFlashing(Indicator& lamp, int32_t value);
// Drives the lamp's panel element: advances the blinking and writes lit value or 0. Inline: the
// systems that blink lamps call it every frame.
inline void ShowIndicator(Indicator& indicator) {
  if (indicator.phase == kLampBlinking) {
    // An unwired lamp does not blink: it keeps what it had.
    if (indicator.element == kUnwired) return;
    if (indicator.hasPeriod && tOn(indicator.blinkTimer, gState.Time, indicator.period)) {
      indicator.lit = !indicator.lit;
      indicator.shown = indicator.lit ? indicator.value : 0;
    }
  }
  // A steady lamp that is not wired writes nothing: kUnwired is no element.
  SetPanel(indicator.element, indicator.shown);
}
