// Windscreen wipers and rain drops.
#include "windshield/windshield.h"

#include <cstdlib>

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

const int kWiperTravel = 100;           // wiper positions from one end of the stroke to the other
const int kMaxWiperStepsPerFrame = 20;  // a late frame catches up at most this many steps
const int kRainMax = 100;               // heaviest rain a beacon can set
const double kDropPickShare = 0.8;      // a new drop falls among the first 80 % of the dry places
const double kDropSpreadBase = 8000.0;  // ms: spread of the drop interval, divided by the rain
const int kDropIntervalBase = 20000;    // ms: mean drop interval, divided by the rain

int32_t wiper = 0;
int32_t holdWiper = kTimerStopped;
int32_t wiperPosition = 0;
int32_t wiperDirection = 0;
int32_t wiperMode = 0;
int32_t rain = 0;
int32_t dropTimer = 0;
int32_t dropInterval = 0;
int32_t dropList[kMaxDrops];     // dry places first, then the drops on the glass
int32_t dropListPos[kMaxDrops];
int32_t unusedDrops = 0;

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
  wiper = 0;
  holdWiper = kTimerStopped;
  wiperPosition = Opt(OPT_wiperholdposition);
  wiperDirection = 0;
  wiperMode = kWiperOff;
  rain = 0;
  dropTimer = 0;
  dropInterval = 0;
  gOpts[OPT_numberofdrops].value = DropCount();
  unusedDrops = Opt(OPT_numberofdrops);
  for (int i = 0; i < kMaxDrops; i++) {
    dropList[i] = DropElement(i);
    dropListPos[i] = i;
  }
}

void DestroyWindshield() {}

void WindshieldKeyPressed(int key) {
  int32_t delay = Opt(OPT_wiperdelay);
  if (KeyMatches(OPT_wiperonkey, key)) {
    if (delay == 0 || wiperMode == kWiperIntermittent) {
      wiperMode = kWiperContinuous;
    } else if (wiperMode > kWiperIntermittent) {
      // already at the top position
    } else {
      // Start the pause as if it had just run out, so the first stroke begins at once.
      holdWiper = static_cast<int32_t>(static_cast<uint32_t>(gState.Time) -
                                       static_cast<uint32_t>(delay) - 1u);
      wiperMode = kWiperIntermittent;
      SetPanelOpt(OPT_wiperindicator, 1);
    }
  } else if (KeyMatches(OPT_wiperoffkey, key) && wiperMode > kWiperOff) {
    if (delay == 0) {
      wiperMode = kWiperOff;
    } else {
      if (wiperMode == kWiperContinuous) holdWiper = kTimerStopped;
      wiperMode -= 1;
      SetPanelOpt(OPT_wiperindicator, wiperMode);
    }
  }
}

void WindshieldBeacon(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconRain) return;
  if (beacon.Optional < 0 || beacon.Optional > kRainMax) return;
  rain = beacon.Optional;
  dropInterval = 0;
  RestartAtNow(dropTimer);  // the next drop falls on the next frame
}

// Direction that starts a stroke from the rest position: away from the end the wiper is at.
// At 0 the reversal at the end of the stroke turns it round to +1.
static int32_t StrokeStartDirection() { return wiperPosition != 0 ? 1 : -1; }

// The wiper blade sweeps over drop element `drop`: a drop there leaves the glass.
static void WipeDrop(int drop) {
  int32_t element = DropElement(drop);
  int32_t p = dropListPos[drop];
  int32_t u = unusedDrops;
  // Only a drop that the bookkeeping has on the glass moves back to the dry places; an element
  // lit by someone else is just cleared.
  bool onGlass = GetPanel(element) > 0 && IsDropSlot(p) && IsDropSlot(u) && p >= u &&
                 p < DropCount() && dropList[p] == element;
  if (onGlass) {
    int32_t moved = dropList[u];
    dropList[u] = dropList[p];
    dropList[p] = moved;
    int32_t dropAtP = DropOfElement(dropList[p]);
    if (IsDropSlot(dropAtP)) dropListPos[dropAtP] = p;
    dropListPos[drop] = u;
    unusedDrops = u + 1;
  }
  SetPanel(element, 0);
}

// One step of the wiper motor.
static void WiperStep() {
  int32_t rest = Opt(OPT_wiperholdposition);
  int32_t sound = Opt(OPT_wipersound);
  // 1. At rest the switch decides whether a stroke starts.
  if (wiperPosition == rest) {
    if (wiperMode == kWiperOff) {
      wiperDirection = 0;
    } else if (wiperMode == kWiperIntermittent) {
      if (holdWiper == -1) {
        RestartAtNow(holdWiper);
        wiperDirection = 0;
      } else if (tOn(holdWiper, gState.Time, Opt(OPT_wiperdelay))) {
        holdWiper = kTimerStopped;
        wiperDirection = StrokeStartDirection();
      }
    } else {
      wiperDirection = StrokeStartDirection();
    }
    if (wiperDirection != 0) SetSound(sound, SOUND_PLAY);
  }
  // 2. Turn round at either end of the stroke.
  if (wiperPosition == 0 || wiperPosition == kWiperTravel) {
    wiperDirection = -wiperDirection;
    if (wiperDirection != 0 && OptFurtherCount(OPT_wipersound) > 0) SetSound(sound, SOUND_PLAY);
  }
  // 3. Move; a rest position far outside the stroke must not run the angle past its range.
  int64_t moved = static_cast<int64_t>(wiperPosition) + wiperDirection;
  if (moved >= INT32_MIN && moved <= INT32_MAX) wiperPosition = static_cast<int32_t>(moved);
  SetPanelOpt(OPT_wiperindex, wiperPosition);
  // 4. Clear the drop element under the blade. The blade covers drop elements only: at the far
  //    end of the stroke it lies one past the last drop, which is no drop element.
  int drops = DropCount();
  if (drops > 0) {
    double under = wiperPosition / (static_cast<double>(kWiperTravel) / drops);
    if (under > -1.0 && under < drops) WipeDrop(static_cast<int>(under));
  }
}

// A rain drop falls on the glass, if there is a dry place for it.
static void DropFalls() {
  // 3. The drop sound, in one of its variants when there are several.
  int32_t sound = Opt(OPT_dropsound);
  if (sound != kUnwired) {
    int64_t played = sound;
    int32_t variants;
    if (OptFurther(OPT_dropsound, 0, &variants) && variants > 0) played += std::rand() % variants;
    if (played <= INT32_MAX) SetSound(static_cast<int>(played), SOUND_PLAY);
  }
  // 4. A new drop among the first dry places.
  if (unusedDrops > 0) {
    int m = static_cast<int>(unusedDrops * kDropPickShare + 1.0);
    int q = std::rand() % m;
    int last = unusedDrops - 1;
    if (IsDropSlot(q) && IsDropSlot(last)) {
      int32_t element = dropList[q];
      int32_t drop = DropOfElement(element);
      // A drop whose element lies outside the panel has no place on the glass.
      bool visible = IsElement(element) && IsDropSlot(drop);
      if (visible && GetPanel(element) == 0) {
        SetPanel(element, 1);
        dropList[q] = dropList[last];
        dropList[last] = element;
        int32_t dropAtQ = DropOfElement(dropList[q]);
        if (IsDropSlot(dropAtQ)) dropListPos[dropAtQ] = q;
        dropListPos[drop] = last;
        unusedDrops = last;
      }
    }
  }
  // 5. The wait until the next drop: shorter and less spread in heavier rain.
  int spread = static_cast<int>(kDropSpreadBase / rain);
  if (spread < 1) spread = 1;
  dropInterval = kDropIntervalBase / rain + std::rand() % (2 * spread) - spread;
}

void AnimateWindshield() {
  // A. The wiper, when it is wired.
  if (Opt(OPT_wiperindex) != kUnwired) {
    int32_t period = Opt(OPT_wiperrate) / kWiperTravel;
    for (int steps = 0; tOn(wiper, gState.Time, period) && steps < kMaxWiperStepsPerFrame;
         steps++) {
      WiperStep();
    }
  }
  // B. The rain.
  if (DropCount() <= 0) return;
  if (rain <= 0) {
    RestartAtNow(dropTimer);
    return;
  }
  if (!tOn(dropTimer, gState.Time, dropInterval)) return;
  DropFalls();
}

const CabSystemRow kWindshieldRow = {
    SYS_WIPERS, true, InitWindshield, DestroyWindshield, AnimateWindshield, WindshieldKeyPressed, nullptr,
    WindshieldBeacon, nullptr, nullptr};
