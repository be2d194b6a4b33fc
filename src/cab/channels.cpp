// The panel and sound arrays used before the host hands its own over.
#include "cab/channels.h"
#include "cab/channels_testing.h"

#include <cassert>

static int panelReserve[kElementCount];  // panel elements written before the host's array came
static int soundReserve[kElementCount];  // sound elements written before the host's array came
int* gPanel = panelReserve;
int* gSound = soundReserve;

void ClearReserves() {
  for (int i = 0; i < kElementCount; i++) {
    panelReserve[i] = 0;
    soundReserve[i] = SOUND_STOP;
  }
}

void WriteToReserves() {
  gPanel = panelReserve;
  gSound = soundReserve;
}

void AdoptPanel(int* panel) {
  assert(panel != gPanel && panel != nullptr);
  gPanel = panel;
  for (int i = 0; i < kElementCount; i++) gPanel[i] = panelReserve[i];
}

void AdoptSound(int* sound) {
  assert(sound != gSound && sound != nullptr);
  gSound = sound;
  for (int i = 0; i < kElementCount; i++) gSound[i] = soundReserve[i];
}

int* PanelReserve() { return panelReserve; }

int* SoundReserve() { return soundReserve; }
