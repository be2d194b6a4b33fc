// The handle arbitration: demand counts per notch and position, and the driver's own handles.
#include "cab/handles.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>

#include "cab/channels.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/option_kinds.h"

int32_t reverserLock[3];
int32_t* powerLock = nullptr;
int32_t* brakeLock = nullptr;
bool tractionInterlock = false;
bool initialized = false;

// Entries in the two demand tables as they were made; 0 while a table is absent.
static int32_t powerLockCount = 0;
static int32_t brakeLockCount = 0;

// The largest demand table made: a vehicle claiming more notches gets no table at all.
const int32_t kMaxLockEntries = 1000000;

// Where the demands stand, kept as each count moves so that no call walks the whole table:
// the highest brake notch and the lowest power notch whose count is above 0 anywhere in its
// table, or kNoDemand.
const int32_t kNoDemand = -1;
static int32_t highestBrakeDemand = kNoDemand;
static int32_t lowestPowerDemand = kNoDemand;

// The highest entry at or below `from` with a count above 0, or kNoDemand.
static int32_t HighestDemandFrom(const int32_t* table, int32_t from) {
  for (int32_t n = from; n >= 0; n--) {
    if (table[n] > 0) return n;
  }
  return kNoDemand;
}

// The lowest entry from `from` to `last` with a count above 0, or kNoDemand.
static int32_t LowestDemandFrom(const int32_t* table, int32_t from, int32_t last) {
  for (int32_t n = from; n <= last; n++) {
    if (table[n] > 0) return n;
  }
  return kNoDemand;
}

// One demand more or less; a count stays inside the 32-bit range however often it is moved.
static void CountDemand(int32_t& count, bool apply) {
  if (apply) {
    if (count < INT32_MAX) count++;
  } else {
    if (count > INT32_MIN) count--;
  }
}

int EmergencyBrakeNotch() {
  if (gTrainspecs.BrakeNotches == INT32_MAX) return -1;  // no table can exist for such a vehicle
  return gTrainspecs.BrakeNotches + 1;
}

// A table of `entries` zeroed counts, or null when the number is absurd or memory is short.
static int32_t* MakeLockTable(int64_t entries, int32_t* made) {
  *made = 0;
  if (entries <= 0 || entries > kMaxLockEntries) return nullptr;
  int32_t* table = new (std::nothrow) int32_t[static_cast<size_t>(entries)];
  if (table == nullptr) return nullptr;
  for (int64_t i = 0; i < entries; i++) table[i] = 0;
  *made = static_cast<int32_t>(entries);
  return table;
}

// Highest power notch a demand may name: the vehicle's, but never past the table.
static int32_t TopPowerNotch() {
  int32_t top = powerLockCount - 1;
  return gTrainspecs.PowerNotches < top ? gTrainspecs.PowerNotches : top;
}

// Highest brake notch (the emergency notch) a demand may name, never past the table.
static int32_t TopBrakeNotch() {
  int32_t top = brakeLockCount - 1;  // at most kMaxLockEntries - 1: top - 1 cannot overflow
  return gTrainspecs.BrakeNotches < top - 1 ? gTrainspecs.BrakeNotches + 1 : top;
}

void OperateReverser(int position, bool apply) {
  if (position < -1 || position > 1) return;
  CountDemand(reverserLock[position + 1], apply);

  if (reverserLock[1] > 0) {
    gHandles.Reverser = 0;
  } else if (reverserLock[2] > 0) {
    gHandles.Reverser = 1;
  } else if (reverserLock[0] > 0) {
    gHandles.Reverser = -1;
  }

  if (Opt(OPT_effectivervrindex) != kUnwired) {
    SetPanelOpt(OPT_effectivervrindex, gHandles.Reverser == -1 ? 2 : gHandles.Reverser);
  }
}

// Counts one power demand; false when the notch is outside the vehicle's range (ignored).
static bool CountPower(int notch, bool apply, int32_t top) {
  if (powerLock == nullptr || notch < 0 || notch > top) return false;
  CountDemand(powerLock[notch], apply);
  if (powerLock[notch] > 0) {
    if (lowestPowerDemand == kNoDemand || notch < lowestPowerDemand) lowestPowerDemand = notch;
  } else if (notch == lowestPowerDemand) {
    lowestPowerDemand = LowestDemandFrom(powerLock, notch + 1, powerLockCount - 1);
  }
  assert(lowestPowerDemand == LowestDemandFrom(powerLock, 0, powerLockCount - 1));
  return true;
}

// The power handle after a demand moved: the lowest notch demanded, 0 while the traction
// interlock holds; with no demand at all it stays where it was.
static void ApplyPowerDemands(int32_t top) {
  if (tractionInterlock && Opt(OPT_tractioninterlock) == 1) {
    gHandles.Power = 0;
    return;
  }
  if (lowestPowerDemand != kNoDemand && lowestPowerDemand <= top) gHandles.Power = lowestPowerDemand;
}

// Counts one brake demand; false when the notch is outside the vehicle's range (ignored).
static bool CountBrake(int notch, bool apply, int32_t top) {
  if (brakeLock == nullptr || notch < 0 || notch > top) return false;
  CountDemand(brakeLock[notch], apply);
  if (brakeLock[notch] > 0) {
    if (notch > highestBrakeDemand) highestBrakeDemand = notch;
  } else if (notch == highestBrakeDemand) {
    highestBrakeDemand = HighestDemandFrom(brakeLock, notch - 1);
  }
  assert(highestBrakeDemand == HighestDemandFrom(brakeLock, brakeLockCount - 1));
  return true;
}

// The brake handle after a demand moved: the highest notch demanded; with no demand at all it
// stays where it was. A brake above 0 sets the traction interlock.
static void ApplyBrakeDemands(int32_t top) {
  const int32_t n = highestBrakeDemand <= top ? highestBrakeDemand : HighestDemandFrom(brakeLock, top);
  if (n == kNoDemand) return;
  gHandles.Brake = n;
  if (n > 0) {
    tractionInterlock = true;
    if (Opt(OPT_tractioninterlock) == 1) gHandles.Power = 0;
  }
}

void OperatePower(int notch, bool apply) {
  const int32_t top = TopPowerNotch();
  if (CountPower(notch, apply, top)) ApplyPowerDemands(top);
}

void OperateBrake(int notch, bool apply) {
  const int32_t top = TopBrakeNotch();
  if (CountBrake(notch, apply, top)) ApplyBrakeDemands(top);
}

// A moved demand ends where withdrawing the old notch and then placing the new one would: the
// handle follows the counts as they stand after both.
void MovePowerDemand(int from, int to) {
  const int32_t top = TopPowerNotch();
  if (from == to) {
    // Withdrawn and placed again: the count may move only at its lower end, where it stays at
    // or below 0, so which notches are demanded does not change.
    if (powerLock == nullptr || to < 0 || to > top) return;
    CountDemand(powerLock[to], false);
    CountDemand(powerLock[to], true);
    ApplyPowerDemands(top);
    return;
  }
  const bool withdrawn = CountPower(from, false, top);
  const bool placed = CountPower(to, true, top);
  if (withdrawn || placed) ApplyPowerDemands(top);
}

void MoveBrakeDemand(int from, int to) {
  const int32_t top = TopBrakeNotch();
  if (from == to) {
    // As for the power: which notches are demanded does not change.
    if (brakeLock == nullptr || to < 0 || to > top) return;
    CountDemand(brakeLock[to], false);
    CountDemand(brakeLock[to], true);
    ApplyBrakeDemands(top);
    return;
  }
  const bool withdrawn = CountBrake(from, false, top);
  const bool placed = CountBrake(to, true, top);
  if (withdrawn || placed) ApplyBrakeDemands(top);
}

void SetBrakeHandle(int notch) {
  MoveBrakeDemand(gDriver.Brake, notch);
  gDriver.Brake = notch;
}

void SetPowerHandle(int notch) {
  if (notch == 0 || gDriver.Power == 0) tractionInterlock = false;
  // With the U-Bahn cab's drive button, the power handle places no demand: traction comes from
  // the button. Without the U-Bahn cab there is no button.
  if (!SystemRuns(SYS_UBAHN) || !KeyConfigured(OPT_speedselectorkey)) {
    MovePowerDemand(gDriver.Power, notch);
  }
  gDriver.Power = notch;
}

void SetReverserHandle(int position) {
  bool moving = !(gState.Speed == 0.0f);  // a speed that is not a number counts as moving
  if (Opt(OPT_reversercontrol) == 1 && moving && position != 0) return;

  OperateReverser(gDriver.Reverser, false);
  OperateReverser(position, true);
  gDriver.Reverser = position;

  int32_t neutralBrake = Opt(OPT_neutralrvrbrake);
  if (neutralBrake != 0) {
    int notch = neutralBrake == 1 ? gTrainspecs.BrakeNotches : EmergencyBrakeNotch();
    OperateBrake(notch, position == 0);
  }

  // Thrown while moving: the reverser is held in neutral until the next start.
  if (Opt(OPT_reversercontrol) == 2 && moving) OperateReverser(0, true);
}

void InitHandles() {
  gDriver.Brake = 0;
  gDriver.Power = 0;
  gDriver.Reverser = 0;
  tractionInterlock = false;

  // The demand tables follow the vehicle as it is described now.
  delete[] powerLock;
  delete[] brakeLock;
  // A negative notch count describes no vehicle: that table stays absent.
  int64_t powerEntries = gTrainspecs.PowerNotches < 0 ? 0 : int64_t{gTrainspecs.PowerNotches} + 1;
  int64_t brakeEntries = gTrainspecs.BrakeNotches < 0 ? 0 : int64_t{gTrainspecs.BrakeNotches} + 2;
  powerLock = MakeLockTable(powerEntries, &powerLockCount);
  brakeLock = MakeLockTable(brakeEntries, &brakeLockCount);
  highestBrakeDemand = kNoDemand;
  lowestPowerDemand = kNoDemand;
  reverserLock[0] = 0;
  reverserLock[1] = 0;
  reverserLock[2] = 0;

  // The driver's handles stand at neutral, power 0, brake 0.
  OperateReverser(0, true);
  OperatePower(0, true);
  OperateBrake(0, true);

  initialized = true;
}

void DestroyHandles() {
  if (!initialized) return;
  delete[] powerLock;
  delete[] brakeLock;
  powerLock = nullptr;
  brakeLock = nullptr;
  powerLockCount = 0;
  brakeLockCount = 0;
  highestBrakeDemand = kNoDemand;
  lowestPowerDemand = kNoDemand;
}
