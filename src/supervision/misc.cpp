// Cab miscellany: door lamps, horn lamp, custom indicators and the travel meter.
#include "supervision/misc.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "supervision/misc_record.h"

// A run starts with the doors taken as open, no side released and no horn lamp timing.
constexpr MiscRecord kMiscAtStart = {true, 0, kHornLampIdle, 0, 0, 1.0};

static MiscRecord misc = kMiscAtStart;

MiscRecord& MiscForTesting() { return misc; }

// Door sides.
const int8_t kNoSide = 0;
const int8_t kLeftSide = -1;  // lamp of the first doorindicator value
const int8_t kRightSide = 1;  // lamp of the second doorindicator value
const int8_t kBothSides = 2;

void InitMiscellaneous(int) {
  // Nothing survives the start: a side released in the run before must not light a lamp now.
  misc = kMiscAtStart;
  // Options stay as they are during a run.
  if (Opt(OPT_travelmetermode) == kTravelMeterMiles) misc.travelUnit = kKilometresPerMile;
  setDoorState(true);
}

void DestroyMiscellaneous() {}

void setDoorState(bool open) {
  misc.doorOpen = open;
  setDoorIndicators();
}

void setDoorSide(int8_t side) {
  if (side < kLeftSide || side > kBothSides) return;
  misc.doorSide = side;
  // The lamps follow only while the train stands; on the move they keep what they showed.
  if (gState.Speed == 0.0f) setDoorIndicators();
}

void setDoorIndicators() {
  if (Opt(OPT_doorindicator) == kUnwired) return;
  int32_t rightLamp = kUnwired;
  const bool hasRightLamp = OptFurther(OPT_doorindicator, 0, &rightLamp);
  if (misc.doorSide != kNoSide && misc.doorOpen) {
    // Released sides light up; a side no longer released keeps its lamp until the doors close.
    if (misc.doorSide == kLeftSide || misc.doorSide == kBothSides) SetPanelOpt(OPT_doorindicator, 1);
    if ((misc.doorSide == kRightSide || misc.doorSide == kBothSides) && hasRightLamp) SetPanel(rightLamp, 1);
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
  RestartAtNow(misc.hornTimer);
  misc.hornLamp = kHornLampTiming;
  misc.hornDuration = lampTime;
  SetPanelOpt(OPT_klaxonindicator, 1);
}

// The travel meter's elements: the distance in tens and in whole metres of the chosen unit, both
// truncated toward zero.
static void ShowTravelMeter(int32_t tenths, int32_t whole) {
  // The 100 element is never driven by the meter: the U-Bahn brake shows its notch there.
  // The 10 element reads the same whether or not the 100 element is fitted.
  SetPanelOpt(OPT_travelmeter10, tenths);
  SetPanelOpt(OPT_travelmeter1, tenths);
  SetPanelOpt(OPT_travelmeter01, whole);
  SetPanelOpt(OPT_travelmeter001, tenths);
}

// The travel meter for a distance beyond the 32-bit range or not a number. Out of line: a
// position that far is absurd.
__attribute__((noinline)) static void ShowFarTravelMeter(double distance) {
  // A position that is not a number moves no drum.
  if (std::isnan(distance)) return;
  ShowTravelMeter(TruncToInt(distance / 10.0), TruncToInt(distance));
}

void RunMiscellaneous() {
  if (misc.hornLamp == kHornLampTiming && Opt(OPT_klaxonindicator) != kUnwired &&
      tOn(misc.hornTimer, gState.Time, misc.hornDuration)) {
    SetPanelOpt(OPT_klaxonindicator, 0);
  }
  if (Opt(OPT_travelmetermode) != kTravelMeterOff) {
    const double distance = gState.Location / misc.travelUnit;
    if (TruncatesPlainly(distance)) {
      // A tenth of a distance within the 32-bit range lies there as well.
      ShowTravelMeter(static_cast<int32_t>(distance / 10.0), static_cast<int32_t>(distance));
    } else {
      ShowFarTravelMeter(distance);
    }
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
