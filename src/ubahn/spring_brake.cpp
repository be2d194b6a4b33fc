// The spring-loaded parking brake (Speicherbremse): apply and release buttons and lamps.
#include "ubahn/traincontrol_overhoul.h"

bool federspeicher_aktiv = false;

void Speicherbremse() {}
void Speicherbremse_ein_druecken(int key) {}
void Speicherbremse_ein_loslassen(int key) {}
void Speicherbremse_aus_druecken(int key) {}
void Speicherbremse_aus_loslassen(int key) {}
