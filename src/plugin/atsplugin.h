// The host interface: the sixteen entry points the host calls, exported by name.
#pragma once

#include "cab/host.h"

#if defined(_WIN32)
// Exported by name through Velmora.def; kept whole and global through link-time optimisation,
// which does not see the names the .def file gives.
#define ATS_EXPORT __attribute__((used, externally_visible))
#else
#define ATS_EXPORT __attribute__((visibility("default")))
#endif

// Interface version this library implements.
const int kPluginVersion = 0x00020000;

extern "C" {
ATS_EXPORT void ATS_CALL Load();
ATS_EXPORT void ATS_CALL Dispose();
ATS_EXPORT int ATS_CALL GetPluginVersion();
ATS_EXPORT void ATS_CALL SetVehicleSpec(ATS_VEHICLESPEC spec);
ATS_EXPORT void ATS_CALL Initialize(int brake);
ATS_EXPORT ATS_HANDLES ATS_CALL Elapse(ATS_VEHICLESTATE state, int* panel, int* sound);
ATS_EXPORT void ATS_CALL SetPower(int notch);
ATS_EXPORT void ATS_CALL SetBrake(int notch);
ATS_EXPORT void ATS_CALL SetReverser(int position);
ATS_EXPORT void ATS_CALL KeyDown(int key);
ATS_EXPORT void ATS_CALL KeyUp(int key);
ATS_EXPORT void ATS_CALL HornBlow(int type);
ATS_EXPORT void ATS_CALL DoorOpen();
ATS_EXPORT void ATS_CALL DoorClose();
ATS_EXPORT void ATS_CALL SetSignal(int signal);
ATS_EXPORT void ATS_CALL SetBeaconData(ATS_BEACONDATA beacon);
}
