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

// One set of demand counts: what the systems that share it have placed, notch by notch. Its
// tables have the entries of the sets' union below; a table is null when absent.
struct DemandSet {
  int32_t reverser[3];  // demand counts for reverse, neutral, forward (index position + 1)
  int32_t* power;       // demand counts per power notch 0..PowerNotches
  int32_t* brake;       // demand counts per brake notch 0..BrakeNotches + 1
};

const int32_t kNoDemand = -1;

// The common set serves the driver's handles, the U-Bahn cab and every system without a set of
// its own; each further system that runs has its own, so that it places and withdraws only its
// own demands.
static DemandSet common = {{0, 0, 0}, nullptr, nullptr};
static DemandSet ownSets[CAB_SYSTEM_COUNT] = {};
// The set each system counts in: its own if it has one in this run, or the common set.
static DemandSet* setOf[CAB_SYSTEM_COUNT] = {};
// The set that Operate* and Move*Demand count in: the common set, or while a system with a set
// of its own is heard, that set. Switching sets is one store.
static DemandSet* counting = &common;

// The union of the sets: per notch and position, how many sets have a count above 0 there. It
// moves only when a set's count crosses from 0 to 1 or back, and the handles follow it alone.
static int32_t reverserSets[3] = {0, 0, 0};
static int32_t* powerSets = nullptr;
static int32_t* brakeSets = nullptr;
// The last entry of every table, the union's and each set's; -1 while the union's is absent.
static int32_t lastPowerEntry = -1;
static int32_t lastBrakeEntry = -1;
// Where the union stands, kept as it moves so that no call walks the whole table: the highest
// brake notch and the lowest power notch that some set demands, or kNoDemand.
static int32_t highestBrakeDemand = kNoDemand;
static int32_t lowestPowerDemand = kNoDemand;

// The largest demand table made: a vehicle claiming more notches gets no table at all.
const int32_t kMaxLockEntries = 1000000;

void CountIn(DemandSet* set) { counting = set; }

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

// One demand more or less in a set; true when the notch became demanded or stopped being
// demanded in that set, after which the union's count at `sets` has moved with it.
static bool CountInSet(int32_t& count, int32_t& sets, bool apply) {
  const bool before = count > 0;
  CountDemand(count, apply);
  const bool after = count > 0;
  if (before == after) return false;
  sets += after ? 1 : -1;
  return true;
}

int EmergencyBrakeNotch() {
  if (gTrainspecs.BrakeNotches == INT32_MAX) return -1;  // no table can exist for such a vehicle
  return gTrainspecs.BrakeNotches + 1;
}

// A table of `entries` zeroed counts, or null when the number is absurd or memory is short.
static int32_t* MakeLockTable(int64_t entries) {
  if (entries <= 0 || entries > kMaxLockEntries) return nullptr;
  int32_t* table = new (std::nothrow) int32_t[static_cast<size_t>(entries)];
  if (table == nullptr) return nullptr;
  for (int64_t i = 0; i < entries; i++) table[i] = 0;
  return table;
}

// Highest power notch a demand may name: the vehicle's, but never past the table.
static int32_t TopPowerNotch() {
  int32_t top = lastPowerEntry;
  return gTrainspecs.PowerNotches < top ? gTrainspecs.PowerNotches : top;
}

// Highest brake notch (the emergency notch) a demand may name, never past the table.
static int32_t TopBrakeNotch() {
  int32_t top = lastBrakeEntry;  // at most kMaxLockEntries - 1: top - 1 cannot overflow
  return gTrainspecs.BrakeNotches < top - 1 ? gTrainspecs.BrakeNotches + 1 : top;
}

// A notch from 0 to TopPowerNotch() (TopBrakeNotch()), asked without working the top out: one
// within the table, and not past the vehicle's top notch (emergency notch). Only while the
// union's table exists (lastPowerEntry, lastBrakeEntry at least 0), as it does whenever a set
// has a table.
static bool PowerNotchInRange(int32_t notch) {
  return static_cast<uint32_t>(notch) <= static_cast<uint32_t>(lastPowerEntry) &&
         notch <= gTrainspecs.PowerNotches;
}
static bool BrakeNotchInRange(int32_t notch) {
  // Within the table the notch is at least 0: notch - 1 cannot overflow.
  return static_cast<uint32_t>(notch) <= static_cast<uint32_t>(lastBrakeEntry) &&
         notch - 1 <= gTrainspecs.BrakeNotches;
}

void OperateReverser(int position, bool apply) {
  if (position < -1 || position > 1) return;
  CountInSet(counting->reverser[position + 1], reverserSets[position + 1], apply);

  if (reverserSets[1] > 0) {
    gHandles.Reverser = 0;
  } else if (reverserSets[2] > 0) {
    gHandles.Reverser = 1;
  } else if (reverserSets[0] > 0) {
    gHandles.Reverser = -1;
  }

  if (Opt(OPT_effectivervrindex) != kUnwired) {
    SetPanelOpt(OPT_effectivervrindex, gHandles.Reverser == -1 ? 2 : gHandles.Reverser);
  }
}

// Counts one power demand; false when the notch is outside the vehicle's range (ignored).
static bool CountPower(int notch, bool apply, int32_t top) {
  int32_t* counts = counting->power;
  if (counts == nullptr || notch < 0 || notch > top) return false;
  if (!CountInSet(counts[notch], powerSets[notch], apply)) return true;
  if (powerSets[notch] > 0) {
    if (lowestPowerDemand == kNoDemand || notch < lowestPowerDemand) lowestPowerDemand = notch;
  } else if (notch == lowestPowerDemand) {
    lowestPowerDemand = LowestDemandFrom(powerSets, notch + 1, lastPowerEntry);
  }
  assert(lowestPowerDemand == LowestDemandFrom(powerSets, 0, lastPowerEntry));
  return true;
}

// The power handle after a demand moved: the lowest notch demanded, 0 while the traction
// interlock holds; with no demand at all, or none the vehicle names, it stays where it was.
static void ApplyPowerDemands() {
  if (Opt(OPT_tractioninterlock) == 1 && tractionInterlock) {  // the option first: it stays through a run
    gHandles.Power = 0;
    return;
  }
  // A demand lies within the table: it is in range when the vehicle names it.
  if (lowestPowerDemand != kNoDemand && lowestPowerDemand <= gTrainspecs.PowerNotches) {
    gHandles.Power = lowestPowerDemand;
  }
}

// Counts one brake demand; false when the notch is outside the vehicle's range (ignored).
static bool CountBrake(int notch, bool apply, int32_t top) {
  int32_t* counts = counting->brake;
  if (counts == nullptr || notch < 0 || notch > top) return false;
  if (!CountInSet(counts[notch], brakeSets[notch], apply)) return true;
  if (brakeSets[notch] > 0) {
    if (notch > highestBrakeDemand) highestBrakeDemand = notch;
  } else if (notch == highestBrakeDemand) {
    highestBrakeDemand = HighestDemandFrom(brakeSets, notch - 1);
  }
  assert(highestBrakeDemand == HighestDemandFrom(brakeSets, lastBrakeEntry));
  return true;
}

// The brake handle after a demand moved: the highest notch demanded; with no demand at all it
// stays where it was. A brake above 0 sets the traction interlock.
static void ApplyBrakeDemands() {
  // The highest demand lies within the table (or is kNoDemand, -1): it is at most the top notch
  // when the vehicle names it; otherwise the highest below the top counts.
  const int32_t n = highestBrakeDemand - 1 <= gTrainspecs.BrakeNotches ? highestBrakeDemand
                                                                        : HighestDemandFrom(brakeSets, TopBrakeNotch());
  if (n == kNoDemand) return;
  gHandles.Brake = n;
  if (n > 0) {
    tractionInterlock = true;
    if (Opt(OPT_tractioninterlock) == 1) gHandles.Power = 0;
  }
}

void OperatePower(int notch, bool apply) {
  const int32_t top = TopPowerNotch();
  if (CountPower(notch, apply, top)) ApplyPowerDemands();
}

void OperateBrake(int notch, bool apply) {
  const int32_t top = TopBrakeNotch();
  if (CountBrake(notch, apply, top)) ApplyBrakeDemands();
}

// A count withdrawn and placed again: it moves only at its lower end, where withdrawing finds it
// held at INT32_MIN and placing takes it one up; it stays below 0, so which notches are
// demanded does not change.
static void CountAgain(int32_t& count) {
  if (count == INT32_MIN) count = INT32_MIN + 1;
}

// A moved demand ends where withdrawing the old notch and then placing the new one would: the
// handle follows the counts as they stand after both.
// A demand moved between two different notches. Kept out of line: the systems that hold their
// demand every frame take the path of an unmoved demand, which then needs no saved registers.
__attribute__((noinline)) static void MovePowerBetween(int from, int to, int32_t top) {
  const bool withdrawn = CountPower(from, false, top);
  const bool placed = CountPower(to, true, top);
  if (withdrawn || placed) ApplyPowerDemands();
}

__attribute__((noinline)) static void MoveBrakeBetween(int from, int to, int32_t top) {
  const bool withdrawn = CountBrake(from, false, top);
  const bool placed = CountBrake(to, true, top);
  if (withdrawn || placed) ApplyBrakeDemands();
}

// A demand held where it was: the path of the systems that hold their demand every frame.
void MovePowerDemand(int from, int to) {
  if (from != to) {
    MovePowerBetween(from, to, TopPowerNotch());
    return;
  }
  int32_t* counts = counting->power;
  if (counts == nullptr || !PowerNotchInRange(to)) return;
  CountAgain(counts[to]);
  ApplyPowerDemands();
}

void MoveBrakeDemand(int from, int to) {
  if (from != to) {
    MoveBrakeBetween(from, to, TopBrakeNotch());
    return;
  }
  int32_t* counts = counting->brake;
  if (counts == nullptr || !BrakeNotchInRange(to)) return;
  CountAgain(counts[to]);
  ApplyBrakeDemands();
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
  set = DemandSet{{0, 0, 0}, nullptr, nullptr};
}

// Tables with the union's entries, every count at 0; a table the union lacks stays absent.
static void MakeSet(DemandSet& set) {
  EmptySet(set);
  if (powerSets != nullptr) set.power = MakeLockTable(int64_t{lastPowerEntry} + 1);
  if (brakeSets != nullptr) set.brake = MakeLockTable(int64_t{lastBrakeEntry} + 1);
}

// Every table goes, the union's too; no demand stands anywhere and the common set is counted in.
static void EmptyAllSets() {
  for (int s = 0; s < CAB_SYSTEM_COUNT; s++) {
    EmptySet(ownSets[s]);
    setOf[s] = &common;
  }
  EmptySet(common);
  CountIn(&common);
  delete[] powerSets;
  delete[] brakeSets;
  powerSets = nullptr;
  brakeSets = nullptr;
  lastPowerEntry = -1;
  lastBrakeEntry = -1;
  reverserSets[0] = 0;
  reverserSets[1] = 0;
  reverserSets[2] = 0;
  highestBrakeDemand = kNoDemand;
  lowestPowerDemand = kNoDemand;
}

void InitHandles() {
  gDriver.Brake = 0;
  gDriver.Power = 0;
  gDriver.Reverser = 0;
  tractionInterlock = false;

  // The demand tables follow the vehicle as it is described now.
  EmptyAllSets();
  // A negative notch count describes no vehicle: that table stays absent.
  const int64_t powers = gTrainspecs.PowerNotches < 0 ? 0 : int64_t{gTrainspecs.PowerNotches} + 1;
  const int64_t brakes = gTrainspecs.BrakeNotches < 0 ? 0 : int64_t{gTrainspecs.BrakeNotches} + 2;
  powerSets = MakeLockTable(powers);
  brakeSets = MakeLockTable(brakes);
  lastPowerEntry = powerSets == nullptr ? -1 : static_cast<int32_t>(powers - 1);
  lastBrakeEntry = brakeSets == nullptr ? -1 : static_cast<int32_t>(brakes - 1);
  MakeSet(common);
  CountIn(&common);

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
  assert(system >= 0 && system < CAB_SYSTEM_COUNT);  // a system of the table
  if (system == SYS_SHELL || system == SYS_UBAHN) return;
  if (setOf[system] == &ownSets[system]) return;
  MakeSet(ownSets[system]);
  setOf[system] = &ownSets[system];
}

DemandSet* DemandsOf(CabSystem system) {
  assert(system >= 0 && system < CAB_SYSTEM_COUNT);  // a system of the table
  // Before the first start no system has been given a set.
  return setOf[system] != nullptr ? setOf[system] : &common;
}

void UseDemandsOf(CabSystem system) { CountIn(DemandsOf(system)); }

void DestroyHandles() {
  if (!initialized) return;
  EmptyAllSets();
}

int32_t BrakeDemandCount(int notch) {
  assert(common.brake != nullptr && notch >= 0 && notch <= lastBrakeEntry);
  return common.brake[notch];
}

int32_t PowerDemandCount(int notch) {
  assert(common.power != nullptr && notch >= 0 && notch <= lastPowerEntry);
  return common.power[notch];
}

int32_t ReverserDemandCount(int position) {
  assert(position >= -1 && position <= 1);
  return common.reverser[position + 1];
}

bool BrakeDemandTableMade() { return common.brake != nullptr; }

bool PowerDemandTableMade() { return common.power != nullptr; }

bool TractionInterlockHolds() { return tractionInterlock; }
