// The panel and sound arrays, their guarded accessors, the timer test and the blinking indicator.
#include "plugin/tools.h"

#include <cmath>

int memPanelReserve[kElementCount];
int memSoundReserve[kElementCount];
int* gPanel = memPanelReserve;
int* gSound = memSoundReserve;

static bool IsElement(int index) { return index >= 0 && index < kElementCount; }

void SetPanel(int index, int value) {
  if (IsElement(index)) gPanel[index] = value;
}

void SetSound(int index, int value) {
  if (IsElement(index)) gSound[index] = value;
}

int GetPanel(int index) { return IsElement(index) ? gPanel[index] : 0; }

int GetSound(int index) { return IsElement(index) ? gSound[index] : SOUND_STOP; }

int32_t TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int32_t TimeDiff(int32_t now, int32_t since) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}

bool tOn(int32_t& timer, int32_t now, int32_t period) {
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

Indicator NewIndicator(int optionIndex, int value) {
  Indicator indicator;
  indicator.option = (optionIndex >= 0 && optionIndex < OPTION_COUNT)
                         ? static_cast<OptionId>(optionIndex) : OPTION_COUNT;
  indicator.value = value;
  indicator.blinkTimer = -1;
  indicator.lit = false;
  return indicator;
}

void ShowIndicator(Indicator& indicator) {
  if (indicator.option == OPTION_COUNT) return;  // refers to no option
  int32_t index = Opt(indicator.option);
  if (index == -1) return;
  int32_t period;
  if (indicator.blinkTimer != -1 && OptFurther(indicator.option, 0, &period)) {
    if (tOn(indicator.blinkTimer, gState.Time, period)) indicator.lit = !indicator.lit;
  }
  SetPanel(index, indicator.lit ? indicator.value : 0);
}
