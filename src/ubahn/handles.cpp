// Handle arbitration (demand counts per notch and position), the U-Bahn start state, the drive button and reverser.
#include "ubahn/traincontrol_overhoul.h"

ATS_HANDLES gDriver;
int32_t reverserLock[3];
int32_t* powerLock = nullptr;
int32_t* brakeLock = nullptr;
bool tractionInterlock = false;
bool initialized = false;

bool speedSelectorKey = false;
bool fahrschalterAn = false;
bool speedSelectorEngaged = false;
int32_t speedSelectorSetting = 0;
bool startmeldung = true;

void OperateReverser(int position, bool apply) {}
void OperatePower(int notch, bool apply) {}
void OperateBrake(int notch, bool apply) {}
void SetReverserHandle(int position) {}
void SetPowerHandle(int notch) {}
void SetBrakeHandle(int notch) {}
int InitTrainControl(int brakeMode) { return 1; }
void DestroyTrainControl() {}
void TrainControl() {}
void UBahnReverser() {}
void TrainControlKeyPressed(int key) {}
void TrainControlKeyReleased(int key) {}
