// Cab miscellany: door lamps, horn lamp, custom indicators and the travel meter.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

// Horn types that light the horn lamp, each for its own time.
const int kHornPrimary = 0;
const int kHornSecondary = 1;

// travelmetermode: the meter is off, or counts miles; any other value counts kilometres.
const int32_t kTravelMeterOff = -1;
const int32_t kTravelMeterMiles = 1;
const double kKilometresPerMile = 1.609;

void InitMiscellaneous(int brakeMode);
void DestroyMiscellaneous();
void setDoorState(bool open);
void setDoorSide(int8_t side);
void setDoorIndicators();
void hornSounded(int type);
// The platform beacon names the side whose door lamp the host's doors light: 1 right (second
// doorindicator lamp), 2 left (first lamp); any other value names no side.
const int32_t kPlatformRight = 1;
const int32_t kPlatformLeft = 2;
void MiscPlatformBeacon(ATS_BEACONDATA beacon);
// The per-frame step: horn lamp time-out and travel meter.
void RunMiscellaneous();
// Toggles the custom panel elements bound to a host key.
void miscKeyPressed(int key);

void MiscDriverMoved(DriverControl control, int value);
// This system's row of the table of cab systems.
extern const CabSystemRow kMiscellaneousRow;
