// Windscreen wipers and rain drops.
#include "windshield/windshield.h"

#include <cassert>
#include <cstdlib>

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "platform/platform_random.h"
#include "windshield/windshield_record.h"

const int kWiperTravel = 100;           // wiper positions from one end of the stroke to the other
const int kMaxWiperStepsPerFrame = 20;  // a late frame catches up at most this many steps
const int kRainMax = 100;               // heaviest rain a beacon can set
const double kDropPickShare = 0.8;      // a new drop falls among the first 80 % of the dry places
const double kDropSpreadBase = 8000.0;  // ms: spread of the drop interval, divided by the rain
const int kDropIntervalBase = 20000;    // ms: mean drop interval, divided by the rain

// A run starts with the wiper at rest and switched off, dry glass and every drop element a dry
// place; the rest position and the drop elements follow from the options at the start. Nothing
// survives the start.
constexpr WindshieldRecord kWindshieldAtStart = {0, kPauseIdle, 0, 0, 0, kWiperOff, 0, 0, 0, {}, {}, 0, false, kUnwired, 0};

static WindshieldRecord shield = kWindshieldAtStart;

WindshieldRecord& WindshieldForTesting() { return shield; }

// Number of drop elements in use, whatever the option holds at the moment.
static int DropCount() {
  int32_t drops = Opt(OPT_numberofdrops);
  if (drops < 0) return 0;
  if (drops > kMaxDrops) return kMaxDrops;
  return drops;
}

// Panel index of drop `drop`, wrapping like the 32-bit panel index it is.
static int32_t DropElement(int drop) {
  return static_cast<int32_t>(static_cast<uint32_t>(Opt(OPT_dropstartindex)) +
                              static_cast<uint32_t>(drop));
}

// Drop number of a panel index taken from dropList.
static int32_t DropOfElement(int32_t element) {
  return static_cast<int32_t>(static_cast<uint32_t>(element) -
                              static_cast<uint32_t>(Opt(OPT_dropstartindex)));
}

static bool IsDropSlot(int32_t entry) { return entry >= 0 && entry < kMaxDrops; }

void InitWindshield(int) {
  shield = kWindshieldAtStart;
  shield.wiperPosition = Opt(OPT_wiperholdposition);
  shield.stepPeriod = Opt(OPT_wiperrate) / kWiperTravel;
  gOpts[OPT_numberofdrops].value = DropCount();
  shield.unusedDrops = Opt(OPT_numberofdrops);
  for (int i = 0; i < kMaxDrops; i++) {
    shield.dropList[i] = DropElement(i);
    shield.dropListPos[i] = i;
  }
}

void DestroyWindshield() {}

void WindshieldKeyPressed(int key) {
  int32_t delay = Opt(OPT_wiperdelay);
  if (KeyMatches(OPT_wiperonkey, key)) {
    if (delay == 0 || shield.wiperMode == kWiperIntermittent) {
      shield.wiperMode = kWiperContinuous;
    } else if (shield.wiperMode > kWiperIntermittent) {
      // already at the top position
    } else {
      // Start the pause as if it had just run out, so the first stroke begins at once.
      shield.holdWiper = static_cast<int32_t>(static_cast<uint32_t>(gState.Time) -
                                       static_cast<uint32_t>(delay) - 1u);
      shield.pause = kPauseRunning;
      shield.wiperMode = kWiperIntermittent;
      SetPanelOpt(OPT_wiperindicator, 1);
    }
  } else if (KeyMatches(OPT_wiperoffkey, key) && shield.wiperMode > kWiperOff) {
    if (delay == 0) {
      shield.wiperMode = kWiperOff;
    } else {
      if (shield.wiperMode == kWiperContinuous) shield.pause = kPauseIdle;
      shield.wiperMode = static_cast<WiperSwitch>(shield.wiperMode - 1);
      SetPanelOpt(OPT_wiperindicator, shield.wiperMode);
    }
  }
  // A wiper switched on takes its steps: the last idle step is one no more.
  if (shield.wiperMode != kWiperOff) shield.idleStep = false;
}

void WindshieldBeacon(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconRain) return;
  if (beacon.Optional < 0 || beacon.Optional > kRainMax) return;
  shield.rain = beacon.Optional;
  shield.dropInterval = 0;
  RestartAtNow(shield.dropTimer);  // the next drop falls on the next frame
}

// Direction that starts a stroke from the rest position: away from the end the wiper is at.
// At 0 the reversal at the end of the stroke turns it round to +1.
static int32_t StrokeStartDirection() { return shield.wiperPosition != 0 ? 1 : -1; }

// The wiper blade sweeps over drop element `drop`: a drop there leaves the glass.
static void WipeDrop(int drop) {
  int32_t element = DropElement(drop);
  int32_t p = shield.dropListPos[drop];
  int32_t u = shield.unusedDrops;
  // Only a drop that the bookkeeping has on the glass moves back to the dry places; an element
  // lit by someone else is just cleared.
  bool onGlass = GetPanel(element) > 0 && IsDropSlot(p) && IsDropSlot(u) && p >= u &&
                 p < DropCount() && shield.dropList[p] == element;
  if (onGlass) {
    int32_t moved = shield.dropList[u];
    shield.dropList[u] = shield.dropList[p];
    shield.dropList[p] = moved;
    int32_t dropAtP = DropOfElement(shield.dropList[p]);
    if (IsDropSlot(dropAtP)) shield.dropListPos[dropAtP] = p;
    shield.dropListPos[drop] = u;
    shield.unusedDrops = u + 1;
  }
  SetPanel(element, 0);
}

// One step of the wiper motor; it notes whether it left the wiper idle (idleStep).
static void WiperStep() {
  int32_t rest = Opt(OPT_wiperholdposition);
  int32_t sound = Opt(OPT_wipersound);
  // 1. At rest the switch decides whether a stroke starts.
  if (shield.wiperPosition == rest) {
    if (shield.wiperMode == kWiperOff) {
      shield.wiperDirection = 0;
    } else if (shield.wiperMode == kWiperIntermittent) {
      if (shield.pause == kPauseIdle) {
        RestartAtNow(shield.holdWiper);
        shield.pause = kPauseRunning;
        shield.wiperDirection = 0;
      } else if (tOn(shield.holdWiper, gState.Time, Opt(OPT_wiperdelay))) {
        shield.pause = kPauseIdle;
        shield.wiperDirection = StrokeStartDirection();
      }
    } else {
      shield.wiperDirection = StrokeStartDirection();
    }
    if (shield.wiperDirection != 0) SetSound(sound, SOUND_PLAY);
  }
  // 2. Turn round at either end of the stroke.
  if (shield.wiperPosition == 0 || shield.wiperPosition == kWiperTravel) {
    shield.wiperDirection = -shield.wiperDirection;
    if (shield.wiperDirection != 0 && OptFurtherCount(OPT_wipersound) > 0) SetSound(sound, SOUND_PLAY);
  }
  // 3. Move; a rest position far outside the stroke must not run the angle past its range. Only
  //    within the stroke does the wiper move down, so only the top of the range can be reached.
  int64_t moved = static_cast<int64_t>(shield.wiperPosition) + shield.wiperDirection;
  assert(moved >= INT32_MIN);
  if (moved <= INT32_MAX) shield.wiperPosition = static_cast<int32_t>(moved);
  SetPanelOpt(OPT_wiperindex, shield.wiperPosition);
  // 4. Clear the drop element under the blade. The blade covers drop elements only: at the far
  //    end of the stroke it lies one past the last drop, which is no drop element.
  int drops = DropCount();
  int32_t cleared = kUnwired;
  if (drops > 0) {
    double under = shield.wiperPosition / (static_cast<double>(kWiperTravel) / drops);
    if (under > -1.0 && under < drops) {
      const int drop = static_cast<int>(under);
      cleared = DropElement(drop);
      WipeDrop(drop);
    }
  }
  shield.idleStep = shield.wiperMode == kWiperOff && shield.wiperDirection == 0 &&
                    shield.wiperPosition == rest && cleared != Opt(OPT_wiperindex);
  shield.idleCleared = cleared;
}

// A step now would repeat the last one and change nothing: that step left the wiper idle (and
// it is still switched off, at rest, as only a step moves it), and its two elements still show
// what it wrote.
static bool IdleStepRepeats() {
  return shield.idleStep && GetPanelOpt(OPT_wiperindex) == shield.wiperPosition &&
         GetPanel(shield.idleCleared) == 0;
}

// The step timer of an idle wiper moves on as the stepping loop would move it, without the loop:
// one period for each step due, as many as the loop tests in a frame (its catch-up bound and
// the one test that ends it).
static void PassIdleSteps(int32_t period) {
  const int32_t late = TimeDiff(gState.Time, shield.wiper);
  if (late < period) return;
  int32_t due = late / period;
  if (due > kMaxWiperStepsPerFrame + 1) due = kMaxWiperStepsPerFrame + 1;
  shield.wiper = static_cast<int32_t>(static_cast<uint32_t>(shield.wiper) +
                                      static_cast<uint32_t>(due) * static_cast<uint32_t>(period));
}

// A rain drop falls on the glass, if there is a dry place for it. Out of line, as it is rare.
__attribute__((noinline)) static void DropFalls() {
  const int32_t rain = shield.rain;
  int32_t& dropInterval = shield.dropInterval;
  // 3. The drop sound, in one of its variants when there are several.
  int32_t sound = Opt(OPT_dropsound);
  if (sound != kUnwired) {
    int64_t played = sound;
    int32_t variants;
    if (OptFurther(OPT_dropsound, 0, &variants) && variants > 0) played += PlatformRandom() % variants;
    if (played <= INT32_MAX) SetSound(static_cast<int>(played), SOUND_PLAY);
  }
  // 4. A new drop among the first dry places.
  if (shield.unusedDrops > 0) {
    int m = static_cast<int>(shield.unusedDrops * kDropPickShare + 1.0);
    int q = PlatformRandom() % m;
    int last = shield.unusedDrops - 1;
    // The dry places never outnumber the drop slots, and the pick lies among them.
    assert(IsDropSlot(q) && IsDropSlot(last) && q <= last);
    int32_t element = shield.dropList[q];
    int32_t drop = DropOfElement(element);
    // A drop whose element lies outside the panel has no place on the glass.
    bool visible = IsElement(element) && IsDropSlot(drop);
    if (visible && GetPanel(element) == 0) {
      SetPanel(element, 1);
      shield.dropList[q] = shield.dropList[last];
      shield.dropList[last] = element;
      int32_t dropAtQ = DropOfElement(shield.dropList[q]);
      if (IsDropSlot(dropAtQ)) shield.dropListPos[dropAtQ] = q;
      shield.dropListPos[drop] = last;
      shield.unusedDrops = last;
    }
  }
  // 5. The wait until the next drop: shorter and less spread in heavier rain.
  int spread = static_cast<int>(kDropSpreadBase / rain);
  assert(spread >= 1);  // the rain is at most kRainMax
  dropInterval = kDropIntervalBase / rain + PlatformRandom() % (2 * spread) - spread;
}

// The wiper steps that are due, at most kMaxWiperStepsPerFrame; steps that would repeat an idle
// one are not taken. Out of line: the wiper mostly rests, and the frame then needs no registers.
__attribute__((noinline)) static void StepsDue(int32_t period, bool idle) {
  for (int steps = 0; tOn(shield.wiper, gState.Time, period) && steps < kMaxWiperStepsPerFrame; steps++) {
    if (idle) continue;
    WiperStep();
    idle = shield.idleStep;
  }
}

void AnimateWindshield() {
  // A. The wiper, when it is wired.
  if (Opt(OPT_wiperindex) != kUnwired) {
    const int32_t period = shield.stepPeriod;
    // Steps that would repeat the last one exactly are not taken: their time passes without them.
    // Right after an idle step nothing has written to its elements yet.
    if (!IdleStepRepeats()) {
      StepsDue(period, false);
    } else if (shield.wiper != 0 && period > 0) {
      PassIdleSteps(period);
    } else {
      StepsDue(period, true);
    }
  }
  // B. The rain. While it is dry the drop timer starts anew; it is read only where drop
  // elements are fitted (their number stays through a run).
  if (shield.rain <= 0) {
    RestartAtNow(shield.dropTimer);
    return;
  }
  if (DropCount() <= 0) return;
  if (!tOn(shield.dropTimer, gState.Time, shield.dropInterval)) return;
  DropFalls();
}

const CabSystemRow kWindshieldRow = {
    SYS_WIPERS, true, InitWindshield, DestroyWindshield, AnimateWindshield, WindshieldKeyPressed, nullptr,
    WindshieldBeacon, nullptr, nullptr};
