// The panel and sound channels with their reserves, the periodic timer test and the panel indicator.
#pragma once

#include "config/confload.h"
#include "plugin/atsplugin.h"

const int kElementCount = 256;  // elements in the panel array and in the sound array

extern int memPanelReserve[kElementCount];  // panel array used until the host hands its own over
extern int memSoundReserve[kElementCount];  // sound array used until the host hands its own over
extern int* gPanel;  // where every panel write goes: the reserve or the host's array
extern int* gSound;  // where every sound write goes: the reserve or the host's array

// The guarded accessors: every panel and sound write of the plug-in goes through these.
// An index outside 0..255 (-1 marks an unwired element) writes nothing.
void SetPanel(int index, int value);
void SetSound(int index, int value);
// Read-backs: an index outside 0..255 reads 0 (panel) or SOUND_STOP (sound).
int GetPanel(int index);
int GetSound(int index);

// The element whose index is the first value of an option.
inline void SetPanelOpt(OptionId option, int value) { SetPanel(gOpts[option].value, value); }
inline void SetSoundOpt(OptionId option, int value) { SetSound(gOpts[option].value, value); }
inline int GetPanelOpt(OptionId option) { return GetPanel(gOpts[option].value); }
inline int GetSoundOpt(OptionId option) { return GetSound(gOpts[option].value); }

// A real number truncated toward zero, as panel values are; NaN gives 0, values beyond the
// 32-bit range the nearest end.
int32_t TruncToInt(double value);

// Milliseconds from `since` to `now`, wrapping like the host's 32-bit clock.
int32_t TimeDiff(int32_t now, int32_t since);

// Periodic timer test: a timer of 0 is armed and starts at this call (false); afterwards it
// fires (true) once per elapsed period, keeping its cadence when called late.
bool tOn(int32_t& timer, int32_t now, int32_t period);

// A panel lamp that shows a value steadily or blinks it.
struct Indicator {
  OptionId option;     // first value: panel index; second value: blink period in ms
  int32_t value;       // panel value while lit
  int32_t blinkTimer;  // -1: steady; otherwise the tOn timer of the blinking
  bool lit;            // lit at the moment
};

Indicator NewIndicator(int optionIndex, int value);
void ShowIndicator(Indicator& indicator);
