// Cab miscellany: door lamps, horn lamp, custom indicators and the travel meter.
#include "supervision/misc.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

bool doorOpen = true;
int8_t doorSide = 0;
int32_t hornTimer = kTimerStopped;
int32_t hornDuration = 0;

// Door sides.
const int8_t kNoSide = 0;
const int8_t kLeftSide = -1;  // lamp of the first doorindicator value
const int8_t kRightSide = 1;  // lamp of the second doorindicator value
const int8_t kBothSides = 2;

void InitMiscellaneous(int) {
  setDoorState(true);
  hornTimer = kTimerStopped;
  hornDuration = 0;
}

void DestroyMiscellaneous() {}

void setDoorState(bool open) {
  doorOpen = open;
  setDoorIndicators();
}

void setDoorSide(int8_t side) {
  if (side < kLeftSide || side > kBothSides) return;
  doorSide = side;
  // The lamps follow only while the train stands; on the move they keep what they showed.
  if (gState.Speed == 0.0f) setDoorIndicators();
}

void setDoorIndicators() {
  if (Opt(OPT_doorindicator) == kUnwired) return;
  int32_t rightLamp = kUnwired;
  const bool hasRightLamp = OptFurther(OPT_doorindicator, 0, &rightLamp);
  if (doorSide != kNoSide && doorOpen) {
    // Released sides light up; a side no longer released keeps its lamp until the doors close.
    if (doorSide == kLeftSide || doorSide == kBothSides) SetPanelOpt(OPT_doorindicator, 1);
    if ((doorSide == kRightSide || doorSide == kBothSides) && hasRightLamp) SetPanel(rightLamp, 1);
    return;
  }
  SetPanelOpt(OPT_doorindicator, 0);
  if (hasRightLamp) SetPanel(rightLamp, 0);
}

void MiscPlatformBeacon(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconPlatformSide) return;
  if (beacon.Optional == kPlatformRight) {
    setDoorSide(kRightSide);
  } else if (beacon.Optional == kPlatformLeft) {
    setDoorSide(kLeftSide);
  } else {
    setDoorSide(kNoSide);
  }
}

void hornSounded(int type) {
  int32_t primaryTime;
  if (Opt(OPT_klaxonindicator) == kUnwired || !OptFurther(OPT_klaxonindicator, 0, &primaryTime)) return;
  // The primary horn lights the lamp for the second value, the secondary horn for the third.
  int32_t lampTime = primaryTime;
  if (type == kHornSecondary) {
    if (!OptFurther(OPT_klaxonindicator, 1, &lampTime)) return;
  } else if (type != kHornPrimary) {
    return;
  }
  RestartAtNow(hornTimer);
  hornDuration = lampTime;
  SetPanelOpt(OPT_klaxonindicator, 1);
}

// The travel meter's elements, from the distance in metres of the chosen unit.
static void ShowTravelMeter(double distance) {
  const int32_t tenths = TruncToInt(distance / 10.0);
  // The 100 element is never driven by the meter: the U-Bahn brake shows its notch there.
  // The 10 element reads the same whether or not the 100 element is fitted.
  SetPanelOpt(OPT_travelmeter10, tenths);
  SetPanelOpt(OPT_travelmeter1, tenths);
  SetPanelOpt(OPT_travelmeter01, TruncToInt(distance));
  SetPanelOpt(OPT_travelmeter001, tenths);
}

void RunMiscellaneous() {
  if (Opt(OPT_klaxonindicator) != kUnwired && hornTimer != kTimerStopped &&
      tOn(hornTimer, gState.Time, hornDuration)) {
    SetPanelOpt(OPT_klaxonindicator, 0);
  }
  const int32_t mode = Opt(OPT_travelmetermode);
  if (mode != kTravelMeterOff) {
    const double factor = (mode == kTravelMeterMiles) ? kKilometresPerMile : 1.0;
    const double distance = gState.Location / factor;
    // A position that is not a number moves no drum.
    if (!std::isnan(distance)) ShowTravelMeter(distance);
  }
}

void miscKeyPressed(int key) {
  // Pairs of key and panel element, the option's first value being the first key; the walk
  // stops at the end of the list or at a key without an element after it. The keys are plain
  // values compared as they stand.
  OptionWalk walk = WalkOption(OPT_customindicators);
  int32_t pairKey;
  int32_t element;
  while (NextValue(walk, &pairKey) && NextValue(walk, &element)) {
    if (pairKey == key) SetPanel(element, GetPanel(element) == 0 ? 1 : 0);
  }
}

// The driver's controls: a horn blast lights the horn lamp.
void MiscDriverMoved(DriverControl control, int value) {
  if (control == kDriverHorn) hornSounded(value);
}

const CabSystemRow kMiscellaneousRow = {
    SYS_MISC, true, InitMiscellaneous, DestroyMiscellaneous, RunMiscellaneous, miscKeyPressed, nullptr,
    MiscPlatformBeacon, setDoorState, MiscDriverMoved};
