// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#include "ubahn/traincontrol_overhoul.h"

int32_t fahrschalter = 2;
bool vorwaerts = false;
bool rueckwaerts = false;
bool neutral = true;
int32_t VMax = 0;
bool SifaKey = false;
bool sifaAn = false;
bool SifaBremst = false;

void FahrschalterAuf(int key) {}
void FahrschalterAb(int key) {}
void FahrschalterNull(int key) {}
void SifaKeyPressed(int key) {}
void SifaKeyReleased(int key) {}
void SifaFestbremsen() {}
