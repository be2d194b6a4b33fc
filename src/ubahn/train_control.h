// The U-Bahn train control: its start of run, the drive button and the reverser.
#pragma once

#include <cstdint>

extern bool speedSelectorKey;         // the drive button is held
extern bool fahrschalterAn;           // the drive button's press sound has played (key-repeat guard)
extern bool speedSelectorEngaged;     // the drive button is driving
extern int32_t speedSelectorSetting;  // power notch the drive button demands; 0 when not driving
extern bool startmeldung;             // the start message shows until power is first taken

// Start of a run: new demand tables, then every U-Bahn device's own start state, in order.
int InitTrainControl(int brakeMode);
// Every device's own start state, without new demand tables.
void InitUBahnDevices();
void DestroyTrainControl();
// The drive button's power demand for this frame.
void TrainControl();
// The reverser as the master controller's direction sets it.
void UBahnReverser();
void TrainControlKeyPressed(int key);
void TrainControlKeyReleased(int key);
