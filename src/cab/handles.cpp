// The handle arbitration: demand counts per notch and position, and the driver's own handles.
#include "cab/handles.h"
#include "cab/handles_testing.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>

#include "cab/channels.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/option_kinds.h"

// A brake notch above 0 has been applied since the power handle last moved.
static bool tractionInterlock = false;
// The demand tables have been created once.
static bool initialized = false;

// One set of demand counts: what the systems that share it have placed, notch by notch.
struct DemandSet {
  int32_t reverser[3];   // demand counts for reverse, neutral, forward (index position + 1)
  int32_t* power;        // demand counts per power notch 0..PowerNotches; null when absent
  int32_t* brake;        // demand counts per brake notch 0..BrakeNotches + 1; null when absent
  int32_t powerEntries;  // entries in `power` as it was made; 0 while absent
  int32_t brakeEntries;  // entries in `brake` as it was made; 0 while absent
  // Where the demands stand, kept as each count moves so that no call walks the whole table:
  // the highest brake notch and the lowest power notch whose count is above 0, or kNoDemand.
  int32_t highestBrake;
  int32_t lowestPower;
};

const int32_t kNoDemand = -1;

// The common set serves the driver's handles, the U-Bahn cab and every system without a set of
// its own; each further system that runs has its own, so that it places and withdraws only its
// own demands. Indexed by cab system: the common set is the shell's.
static DemandSet demandSets[CAB_SYSTEM_COUNT] = {};
static DemandSet& commonSet = demandSets[SYS_SHELL];
static bool ownSet[CAB_SYSTEM_COUNT] = {};  // the system has a set of its own in this run
// The sets whose demands the handles follow: the common set first, then the systems' own.
static DemandSet* setsInUse[CAB_SYSTEM_COUNT] = {&demandSets[SYS_SHELL]};
static int setsInUseCount = 1;
// The set that Operate* and Move*Demand count in.
static DemandSet* current = &demandSets[SYS_SHELL];

// The largest demand table made: a vehicle claiming more notches gets no table at all.
const int32_t kMaxLockEntries = 1000000;

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
  int32_t top = current->powerEntries - 1;
  return gTrainspecs.PowerNotches < top ? gTrainspecs.PowerNotches : top;
}

// Highest brake notch (the emergency notch) a demand may name, never past the table.
static int32_t TopBrakeNotch() {
  int32_t top = current->brakeEntries - 1;  // at most kMaxLockEntries - 1: top - 1 cannot overflow
  return gTrainspecs.BrakeNotches < top - 1 ? gTrainspecs.BrakeNotches + 1 : top;
}

// Whether any set in use demands the reverser position.
static bool ReverserDemanded(int position) {
  for (int i = 0; i < setsInUseCount; i++) {
    if (setsInUse[i]->reverser[position + 1] > 0) return true;
  }
  return false;
}

void OperateReverser(int position, bool apply) {
  if (position < -1 || position > 1) return;
  CountDemand(current->reverser[position + 1], apply);

  if (ReverserDemanded(0)) {
    gHandles.Reverser = 0;
  } else if (ReverserDemanded(1)) {
    gHandles.Reverser = 1;
  } else if (ReverserDemanded(-1)) {
    gHandles.Reverser = -1;
  }

  if (Opt(OPT_effectivervrindex) != kUnwired) {
    SetPanelOpt(OPT_effectivervrindex, gHandles.Reverser == -1 ? 2 : gHandles.Reverser);
  }
}

// Counts one power demand; false when the notch is outside the vehicle's range (ignored).
static bool CountPower(int notch, bool apply, int32_t top) {
  DemandSet& set = *current;
  if (set.power == nullptr || notch < 0 || notch > top) return false;
  CountDemand(set.power[notch], apply);
  if (set.power[notch] > 0) {
    if (set.lowestPower == kNoDemand || notch < set.lowestPower) set.lowestPower = notch;
  } else if (notch == set.lowestPower) {
    set.lowestPower = LowestDemandFrom(set.power, notch + 1, set.powerEntries - 1);
  }
  assert(set.lowestPower == LowestDemandFrom(set.power, 0, set.powerEntries - 1));
  return true;
}

// The lowest power notch demanded in any set in use, or kNoDemand.
static int32_t LowestPowerDemand() {
  int32_t lowest = commonSet.lowestPower;
  for (int i = 1; i < setsInUseCount; i++) {
    const int32_t n = setsInUse[i]->lowestPower;
    if (n != kNoDemand && (lowest == kNoDemand || n < lowest)) lowest = n;
  }
  return lowest;
}

// The power handle after a demand moved: the lowest notch demanded, 0 while the traction
// interlock holds; with no demand at all it stays where it was.
static void ApplyPowerDemands(int32_t top) {
  if (tractionInterlock && Opt(OPT_tractioninterlock) == 1) {
    gHandles.Power = 0;
    return;
  }
  const int32_t lowest = setsInUseCount == 1 ? commonSet.lowestPower : LowestPowerDemand();
  if (lowest != kNoDemand && lowest <= top) gHandles.Power = lowest;
}

// Counts one brake demand; false when the notch is outside the vehicle's range (ignored).
static bool CountBrake(int notch, bool apply, int32_t top) {
  DemandSet& set = *current;
  if (set.brake == nullptr || notch < 0 || notch > top) return false;
  CountDemand(set.brake[notch], apply);
  if (set.brake[notch] > 0) {
    if (notch > set.highestBrake) set.highestBrake = notch;
  } else if (notch == set.highestBrake) {
    set.highestBrake = HighestDemandFrom(set.brake, notch - 1);
  }
  assert(set.highestBrake == HighestDemandFrom(set.brake, set.brakeEntries - 1));
  return true;
}

// The highest brake notch up to `top` demanded in the set, or kNoDemand.
static int32_t HighestBrakeDemand(const DemandSet& set, int32_t top) {
  if (set.highestBrake <= top) return set.highestBrake;
  return HighestDemandFrom(set.brake, top);
}

// The highest brake notch up to `top` demanded in any set in use, or kNoDemand.
static int32_t HighestBrakeDemand(int32_t top) {
  int32_t highest = HighestBrakeDemand(commonSet, top);
  for (int i = 1; i < setsInUseCount; i++) {
    const int32_t n = HighestBrakeDemand(*setsInUse[i], top);
    if (n > highest) highest = n;
  }
  return highest;
}

// The brake handle after a demand moved: the highest notch demanded; with no demand at all it
// stays where it was. A brake above 0 sets the traction interlock.
static void ApplyBrakeDemands(int32_t top) {
  const int32_t n = setsInUseCount == 1 ? HighestBrakeDemand(commonSet, top) : HighestBrakeDemand(top);
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
    int32_t* counts = current->power;
    if (counts == nullptr || to < 0 || to > top) return;
    CountDemand(counts[to], false);
    CountDemand(counts[to], true);
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
    int32_t* counts = current->brake;
    if (counts == nullptr || to < 0 || to > top) return;
    CountDemand(counts[to], false);
    CountDemand(counts[to], true);
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

// The neutral-reverser brake (neutralrvrbrake): demanded in the common set exactly while the
// driver's reverser is neutral; the notch placed is kept, so that it is the one withdrawn.
static bool neutralBrakePlaced = false;
static int32_t neutralBrakeNotch = 0;

static void PlaceNeutralBrake() {
  const int32_t mode = Opt(OPT_neutralrvrbrake);
  if (mode == 0 || neutralBrakePlaced) return;
  neutralBrakeNotch = mode == 1 ? gTrainspecs.BrakeNotches : EmergencyBrakeNotch();
  neutralBrakePlaced = true;
  OperateBrake(neutralBrakeNotch, true);
}

static void WithdrawNeutralBrake() {
  if (!neutralBrakePlaced) return;
  neutralBrakePlaced = false;
  OperateBrake(neutralBrakeNotch, false);
}

void SetReverserHandle(int position) {
  bool moving = !(gState.Speed == 0.0f);  // a speed that is not a number counts as moving
  if (Opt(OPT_reversercontrol) == 1 && moving && position != 0) return;

  OperateReverser(gDriver.Reverser, false);
  OperateReverser(position, true);
  gDriver.Reverser = position;

  if (position == 0) {
    PlaceNeutralBrake();
  } else {
    WithdrawNeutralBrake();
  }

  // Thrown while moving: the reverser is held in neutral until the next start.
  if (Opt(OPT_reversercontrol) == 2 && moving) OperateReverser(0, true);
}

// Releases a set's tables; no demand stands in it.
static void EmptySet(DemandSet& set) {
  delete[] set.power;
  delete[] set.brake;
  set = DemandSet{{0, 0, 0}, nullptr, nullptr, 0, 0, kNoDemand, kNoDemand};
}

// Tables for the vehicle as it is described now, every count at 0.
static void MakeSet(DemandSet& set) {
  EmptySet(set);
  // A negative notch count describes no vehicle: that table stays absent.
  int64_t powerEntries = gTrainspecs.PowerNotches < 0 ? 0 : int64_t{gTrainspecs.PowerNotches} + 1;
  int64_t brakeEntries = gTrainspecs.BrakeNotches < 0 ? 0 : int64_t{gTrainspecs.BrakeNotches} + 2;
  set.power = MakeLockTable(powerEntries, &set.powerEntries);
  set.brake = MakeLockTable(brakeEntries, &set.brakeEntries);
}

// Every system's own set goes: from now on all demands are counted in the common set.
static void EmptyOwnSets() {
  for (int s = 0; s < CAB_SYSTEM_COUNT; s++) {
    if (s != SYS_SHELL) EmptySet(demandSets[s]);
    ownSet[s] = false;
  }
  setsInUseCount = 1;
  current = &commonSet;
}

void InitHandles() {
  gDriver.Brake = 0;
  gDriver.Power = 0;
  gDriver.Reverser = 0;
  tractionInterlock = false;

  // The demand tables follow the vehicle as it is described now.
  EmptyOwnSets();
  MakeSet(commonSet);

  // The driver's handles stand at neutral, power 0, brake 0.
  OperateReverser(0, true);
  OperatePower(0, true);
  OperateBrake(0, true);
  // The driver's reverser starts neutral.
  neutralBrakePlaced = false;
  PlaceNeutralBrake();

  initialized = true;
}

void GiveOwnDemands(CabSystem system) {
  if (system < 0 || system >= CAB_SYSTEM_COUNT || system == SYS_SHELL || system == SYS_UBAHN) return;
  if (ownSet[system]) return;
  MakeSet(demandSets[system]);
  ownSet[system] = true;
  setsInUse[setsInUseCount++] = &demandSets[system];
}

void UseDemandsOf(CabSystem system) {
  const bool own = system >= 0 && system < CAB_SYSTEM_COUNT && ownSet[system];
  current = own ? &demandSets[system] : &commonSet;
}

void DestroyHandles() {
  if (!initialized) return;
  EmptyOwnSets();
  EmptySet(commonSet);
}

int32_t BrakeDemandCount(int notch) {
  if (commonSet.brake == nullptr || notch < 0 || notch >= commonSet.brakeEntries) return 0;
  return commonSet.brake[notch];
}

int32_t PowerDemandCount(int notch) {
  if (commonSet.power == nullptr || notch < 0 || notch >= commonSet.powerEntries) return 0;
  return commonSet.power[notch];
}

int32_t ReverserDemandCount(int position) {
  if (position < -1 || position > 1) return 0;
  return commonSet.reverser[position + 1];
}

bool BrakeDemandTableMade() { return commonSet.brake != nullptr; }

bool PowerDemandTableMade() { return commonSet.power != nullptr; }

bool TractionInterlockHolds() { return tractionInterlock; }
