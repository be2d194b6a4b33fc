// The panel and sound arrays used before the host hands its own over.
#include "cab/channels.h"

int memPanelReserve[kElementCount];
int memSoundReserve[kElementCount];
int* gPanel = memPanelReserve;
int* gSound = memSoundReserve;
