// The steady or blinking panel lamp.
#include "cab/indicator.h"

#include "cab/channels.h"
#include "cab/timers.h"

Indicator NewIndicator(int optionIndex, int value) {
  Indicator indicator;
  indicator.option = (optionIndex >= 0 && optionIndex < OPTION_COUNT)
                         ? static_cast<OptionId>(optionIndex) : OPTION_COUNT;
  indicator.element = indicator.option == OPTION_COUNT ? kUnwired : Opt(indicator.option);
  indicator.value = value;
  indicator.phase = kLampSteady;
  indicator.blinkTimer = 0;
  indicator.lit = false;
  indicator.shown = 0;
  indicator.period = 0;
  indicator.hasPeriod = OptFurther(indicator.option, 0, &indicator.period);
  return indicator;
}

void SetSteady(Indicator& lamp, int32_t value) {
  lamp.value = value;
  lamp.phase = kLampSteady;
  lamp.lit = true;
  lamp.shown = value;
}

void SetFlashing(Indicator& lamp, int32_t value) {
  lamp.value = value;
  lamp.phase = kLampBlinking;
  RestartAtNow(lamp.blinkTimer);
  lamp.lit = true;
  lamp.shown = value;
}
