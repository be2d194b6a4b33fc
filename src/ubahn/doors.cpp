// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#include "ubahn/traincontrol_overhoul.h"

bool tueren_geschlossen = false;
int32_t fahrgaeste = 0;

void Tuersteuerung() {}
void Tuertaster_druecken(int key) {}
void Tuertaster_loslassen(int key) {}
void Tuertaster_rechts_druecken(int key) {}
void Tuertaster_rechts_loslassen(int key) {}
void Tuertaster_links_druecken(int key) {}
void Tuertaster_links_loslassen(int key) {}
void TuerseiteFestlegen(int side) {}
void TuerInit(int side) {}
void SetFahrgaeste(int count) {}
