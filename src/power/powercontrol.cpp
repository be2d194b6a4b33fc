// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#include "power/powercontrol.h"

#include <cmath>
#include <new>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "power/powercontrol_record.h"

// Ways of handling a gap (option powergapbehaviour).
const int kGapsIgnored = 0;        // the supply never fails
const int kCutWhileAnyGapped = 2;  // no power while any pick-up is in a gap
const int kCutWhileAllGapped = 3;  // no power only while every pick-up is in a gap
// Any other non-zero value: power reduced in proportion to the pick-ups in gaps.

// A run starts with no gaps, no pick-up in one, the reminder off and no cut held; the count of
// pick-up points follows from the option at the start. Nothing survives the start: the list of
// the run before was freed by its end.
constexpr PowerControlRecord kPowerControlAtStart = {nullptr, 0, 0, 0, false, false, true};

// Before the first start of run there is no list to free.
static PowerControlRecord power = {nullptr, 0, 0, 0, false, false, false};

PowerControlRecord& PowerControlForTesting() { return power; }

void InitPowerControl(int) {
  power = kPowerControlAtStart;
  // The first value of powerpickuppoints is one collector, each further value another.
  power.pickupPoints = 1 + OptFurtherCount(OPT_powerpickuppoints);
  SetPanelOpt(OPT_powerindicator, 1);
}

void DestroyPowerControl() {
  if (!power.listSetUp) return;
  Gap* gap = power.gaplist;
  while (gap != nullptr) {
    Gap* following = gap->next;
    delete gap;
    gap = following;
  }
  power.gaplist = nullptr;
  power.gapRecords = 0;
}

void PowerBeacon(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconPowerGap) return;
  if (Opt(OPT_powergapbehaviour) == kGapsIgnored) return;
  if (beacon.Optional == 0) return;
  // A gap announced while standing or running backwards is not tracked.
  if (!(gState.Speed > 0.0f)) return;
  CreateGap(beacon.Optional);
}

// Appends one record at the tail of the list; false when there is no room for it.
static bool AppendGap(double start, int length) {
  if (power.gapRecords >= kMaxGapRecords) return false;
  Gap* gap = new (std::nothrow) Gap;
  if (gap == nullptr) return false;
  gap->start = start;
  gap->length = length;
  gap->gapped = false;
  gap->next = nullptr;
  Gap** tail = &power.gaplist;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = gap;
  power.gapRecords++;
  return true;
}

// Makes the record of one collector at `distance` m; false when no further record can be kept.
static bool GapForCollector(int32_t distance, int length) {
  double start = distance + gState.Location;
  // A gap at no real position can neither be entered nor passed: it is not kept.
  if (!std::isfinite(start)) return true;
  return AppendGap(start, length);
}

void CreateGap(int length) {
  OptionWalk collectors = WalkOption(OPT_powerpickuppoints);
  int32_t distance;
  while (NextValue(collectors, &distance)) {
    if (!GapForCollector(distance, length)) return;
  }
}

// Far end of a record's gap: the length counts as an unsigned number of metres.
static double GapEnd(const Gap* gap) {
  return gap->start + static_cast<double>(static_cast<uint32_t>(gap->length));
}

// The notch to which the proportional behaviour limits the power with `gapped` collectors dead:
// the share of dead collectors taken off the top notch, rounded to the nearest notch.
// Values that fit no notch become -1, which the arbitration ignores.
static int ProportionalLimit(int32_t gapped) {
  double notches = gTrainspecs.PowerNotches;
  double share = notches * gapped / power.pickupPoints + 0.5;
  if (!(share > -2147483648.0 && share < 2147483648.0)) return -1;
  int64_t limit = static_cast<int64_t>(gTrainspecs.PowerNotches) - static_cast<int64_t>(share);
  if (limit < 0 || limit > 2147483647) return -1;
  return static_cast<int>(limit);
}

// The supply at one collector has changed: entering (true) or leaving (false) a gap.
static void CollectorSupplyChanged(bool entering) {
  int behaviour = Opt(OPT_powergapbehaviour);
  int lost = entering ? 1 : 0;
  if (behaviour == kCutWhileAnyGapped) {
    OperatePower(0, entering);
    SetPanelOpt(OPT_powerindicator, 1 - lost);
  } else if (behaviour == kCutWhileAllGapped) {
    power.gappedPickups += entering ? 1 : -1;
    if (power.gappedPickups == 0 || power.gappedPickups == power.pickupPoints) {
      // The cut is placed once when every collector is dead and lifted once when all are live
      // again; a collector that passes a gap alone must not lift a cut that was never placed.
      if (entering != power.allPickupsCut) {
        OperatePower(0, entering);
        power.allPickupsCut = entering;
      }
      SetPanelOpt(OPT_powerindicator, 1 - lost);
    }
  } else {
    if (power.pickupPoints <= 0) return;
    if (entering) power.gappedPickups++;
    // Leaving releases the limit that was placed when this count of dead collectors was reached.
    OperatePower(ProportionalLimit(power.gappedPickups), entering);
    if (!entering) power.gappedPickups--;
    SetPanelOpt(OPT_powerindicator, power.gappedPickups != power.pickupPoints ? 1 : 0);
  }
}

void PowerControl() {
  if (Opt(OPT_powergapbehaviour) == kGapsIgnored) return;
  float speed = gState.Speed;
  if (speed == 0.0f) return;
  double location = gState.Location;

  Gap** link = &power.gaplist;
  while (*link != nullptr) {
    Gap* gap = *link;
    bool changes = false;
    // One case for each way the collector crosses an edge of the gap, hence the same branches.
    if (speed > 0.0f && location > gap->start && !gap->gapped) {  // NOLINT(bugprone-branch-clone)
      changes = true;  // the collector runs into the gap
    } else if (speed > 0.0f && location > GapEnd(gap) && gap->gapped) {
      changes = true;  // the collector runs out at the far end
    } else if (speed < 0.0f && location < gap->start && gap->gapped) {
      changes = true;  // the collector backs out at the near end
    }
    if (!changes) {
      link = &gap->next;
      continue;
    }
    gap->gapped = !gap->gapped;
    CollectorSupplyChanged(gap->gapped);

    if (location > GapEnd(gap)) {
      // Passed the whole gap. If it was crossed within this one frame the collector is still
      // counted as dead: it regains the supply before the record goes, so no limit stays behind.
      if (gap->gapped) {
        gap->gapped = false;
        CollectorSupplyChanged(false);
      }
      *link = gap->next;
      delete gap;
      power.gapRecords--;
    } else {
      link = &gap->next;
    }
  }
}

void PowerControlKeyPressed(int key) {
  if (!KeyMatches(OPT_reminderkey, key)) return;
  power.reminder = !power.reminder;
  OperatePower(0, power.reminder);
  SetPanelOpt(OPT_reminderindicator, power.reminder ? 1 : 0);
}

const CabSystemRow kPowerControlRow = {
    SYS_POWER, true, InitPowerControl, DestroyPowerControl, PowerControl, PowerControlKeyPressed, nullptr,
    PowerBeacon, nullptr, nullptr};
