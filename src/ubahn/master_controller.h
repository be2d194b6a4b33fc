// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#pragma once

#include <cstdint>

extern int32_t fahrschalter;  // master controller position 0..7 (fixed_elements.h); 2 is neutral
extern bool vorwaerts;        // forward chosen
extern bool rueckwaerts;      // reverse chosen
extern bool neutral;          // no direction chosen
extern int32_t VMax;          // speed limit of the controller position, km/h
extern bool SifaKey;          // the Sifa (dead-man) key is held
extern bool sifaAn;           // the Sifa key's press has been handled (key-repeat guard)
extern bool SifaBremst;       // the Sifa has forced an emergency braking

// Start of a run: the Sifa key counts as let go and the controller is thrown to neutral.
void InitMasterController();
void FahrschalterAuf(int key);
void FahrschalterAb(int key);
void FahrschalterNull(int key);
void SifaKeyPressed(int key);
void SifaKeyReleased(int key);
void SifaFestbremsen();
