// The brake controller (Bremsschalter): electric, air and holding brake and their lamps and sounds.
#include "ubahn/traincontrol_overhoul.h"

int32_t bremsschalter = 0;
int32_t bremsstufe = 0;
bool festhaltebremse = false;
bool festhaltebremsekey = false;
bool luftbremse = true;
bool ebremse = false;
bool anhaltesound = false;
int32_t ebremstimer = 0;

void BremsschalterBremsen(int key) {}
void BremsschalterLoesen(int key) {}
void FesthaltebremseKeyPressed(int key) {}
void FesthaltebremseKeyReleased(int key) {}
void UBahnBremse() {}
