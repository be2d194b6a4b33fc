// The panel and sound channels: where writes go, and the one guarded way to write and read them.
#pragma once

#include "cab/host.h"
#include "config/confload.h"

const int kElementCount = 256;  // elements in the panel array and in the sound array
const int kUnwired = -1;        // element index of an element that is not fitted

extern int* gPanel;  // where every panel write goes: the reserve or the host's array
extern int* gSound;  // where every sound write goes: the reserve or the host's array

// Until the host hands its arrays over, writes go to two reserves of the module's own.
// The reserves cleared: every panel element 0, every sound SOUND_STOP.
void ClearReserves();
// Every write goes to the reserves again, until the host hands its arrays over anew.
void WriteToReserves();
// The host's array adopted: what was written before lands in it from the reserve. Only a new
// array is adopted: the caller keeps a null one, or one adopted already, from coming here
// (writes keep going where they went).
void AdoptPanel(int* panel);
void AdoptSound(int* sound);

// An index the arrays have: 0..255. Anything else (-1 marks an unwired element) is no element.
inline bool IsElement(int index) { return index >= 0 && index < kElementCount; }

// The guarded accessors: every panel and sound write of the plug-in goes through these.
inline void SetPanel(int index, int value) {
  if (IsElement(index)) gPanel[index] = value;
}
inline void SetSound(int index, int value) {
  if (IsElement(index)) gSound[index] = value;
}
// Read-backs: an index outside 0..255 reads 0 (panel) or SOUND_STOP (sound).
inline int GetPanel(int index) { return IsElement(index) ? gPanel[index] : 0; }
inline int GetSound(int index) { return IsElement(index) ? gSound[index] : SOUND_STOP; }

// The element whose index is the first value of an option.
inline void SetPanelOpt(OptionId option, int value) { SetPanel(gOpts[option].value, value); }
inline void SetSoundOpt(OptionId option, int value) { SetSound(gOpts[option].value, value); }
inline int GetPanelOpt(OptionId option) { return GetPanel(gOpts[option].value); }
inline int GetSoundOpt(OptionId option) { return GetSound(gOpts[option].value); }

// A 0/1 display read back from the panel. A display that is not wired is taken to show what
// was last given to it (`lastShown`), so logic that reads it back behaves the same whether or
// not the display is fitted.
inline int ReadBackDisplay(OptionId option, bool lastShown) {
  int index = gOpts[option].value;
  if (!IsElement(index)) return lastShown ? 1 : 0;
  return gPanel[index];
}
