#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/platform_random.h"
#include "supervision_support.h"
#include "windshield/windshield.h"
#include "windshield/windshield_record.h"

namespace {

WindshieldRecord& shield = WindshieldForTesting();

const int kWiper = 40;       // wiper panel element
const int kSwitchLamp = 41;  // wiper switch indicator
const int kWiperSound = 42;
const int kDropSound = 43;
const int kOnKey = 5;
const int kOffKey = 6;

// A cab with the wiper wired to element 40, its switch lamp to 41, and the given extra lines.
void StartWindscreen(std::initializer_list<const char*> extra = {}) {
  FreshCab();
  std::vector<const char*> lines = {"wiperindex=40", "wiperindicator=41"};
  lines.insert(lines.end(), extra.begin(), extra.end());
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  LoadConfigText(text);
  DestroyWindshield();
  InitWindshield(0);
}

void FrameAt(int32_t time) {
  gState.Time = time;
  AnimateWindshield();
}

void Rain(int intensity) { WindshieldBeacon(ATS_BEACONDATA{kBeaconRain, 0, 0.0f, intensity}); }

// Drops on the glass by the bookkeeping.
int DropsShown() { return Opt(OPT_numberofdrops) - shield.unusedDrops; }

// Drop elements lit on the panel.
int DropElementsLit() {
  int lit = 0;
  for (int i = 0; i < Opt(OPT_numberofdrops); i++) {
    if (GetPanel(Opt(OPT_dropstartindex) + i) > 0) lit++;
  }
  return lit;
}

// The next value the library's generator would give after `calls` draws from `seed`.
int RandAfter(unsigned seed, int calls) {
  PlatformSeedRandom(seed);
  for (int i = 0; i < calls; i++) PlatformRandom();
  return PlatformRandom();
}

// How many draws the library made since PlatformSeedRandom(seed), judged by the next value.
int RandCallsSince(unsigned seed) {
  int next = PlatformRandom();
  for (int calls = 0; calls < 10; calls++) {
    if (RandAfter(seed, calls) == next) return calls;
  }
  return -1;
}

}  // namespace

TEST(Wiper, start_puts_the_wiper_at_rest_with_the_switch_off) {
  StartWindscreen({"wiperholdposition=30", "numberofdrops=12", "dropstartindex=100"});
  EXPECT_EQ(shield.wiperPosition, 30);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
  EXPECT_EQ(shield.pause, kPauseIdle);
  EXPECT_EQ(shield.unusedDrops, 12);
  EXPECT_EQ(shield.dropList[0], 100);
  EXPECT_EQ(shield.dropList[255], 355);
  EXPECT_EQ(shield.dropListPos[7], 7);
}

TEST(Wiper, drop_count_is_clamped_and_written_back) {
  StartWindscreen({"numberofdrops=300"});
  EXPECT_EQ(Opt(OPT_numberofdrops), 256);
  EXPECT_EQ(shield.unusedDrops, 256);
  StartWindscreen({"numberofdrops=-5"});
  EXPECT_EQ(Opt(OPT_numberofdrops), 0);
  EXPECT_EQ(shield.unusedDrops, 0);
}

TEST(Wiper, switch_without_intermittent_toggles_off_and_continuous_without_the_lamp) {
  StartWindscreen();
  SetPanel(kSwitchLamp, 9);
  WindshieldKeyPressed(kOnKey);
  EXPECT_EQ(shield.wiperMode, kWiperContinuous);
  WindshieldKeyPressed(kOnKey);
  EXPECT_EQ(shield.wiperMode, kWiperContinuous);
  WindshieldKeyPressed(kOffKey);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
  WindshieldKeyPressed(kOffKey);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
  EXPECT_EQ(GetPanel(kSwitchLamp), 9);
}

TEST(Wiper, switch_with_intermittent_steps_through_three_positions) {
  StartWindscreen({"wiperdelay=3000"});
  gState.Time = 10000;
  WindshieldKeyPressed(kOnKey);
  EXPECT_EQ(shield.wiperMode, kWiperIntermittent);
  EXPECT_EQ(shield.holdWiper, 10000 - 3000 - 1);
  EXPECT_EQ(GetPanel(kSwitchLamp), 1);
  SetPanel(kSwitchLamp, 9);
  WindshieldKeyPressed(kOnKey);
  EXPECT_EQ(shield.wiperMode, kWiperContinuous);
  EXPECT_EQ(GetPanel(kSwitchLamp), 9);
  WindshieldKeyPressed(kOnKey);
  EXPECT_EQ(shield.wiperMode, kWiperContinuous);
  WindshieldKeyPressed(kOffKey);
  EXPECT_EQ(shield.wiperMode, kWiperIntermittent);
  EXPECT_EQ(shield.pause, kPauseIdle);
  EXPECT_EQ(GetPanel(kSwitchLamp), 1);
  WindshieldKeyPressed(kOffKey);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
  EXPECT_EQ(GetPanel(kSwitchLamp), 0);
}

TEST(Wiper, unconfigured_keys_match_no_key) {
  StartWindscreen({"wiperonkey=-1", "wiperoffkey=-1"});
  WindshieldKeyPressed(-1);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
}

TEST(Wiper, late_frame_makes_twenty_steps_and_leaves_the_rest_due) {
  StartWindscreen();
  WindshieldKeyPressed(kOnKey);
  FrameAt(1000);  // starts the motor's timer
  EXPECT_EQ(shield.wiperPosition, 0);
  FrameAt(1300);  // 30 steps due
  EXPECT_EQ(shield.wiperPosition, 20);
  EXPECT_EQ(shield.wiper, 1210);  // the 21st period was consumed without a step
  FrameAt(1300);
  EXPECT_EQ(shield.wiperPosition, 29);
  EXPECT_EQ(GetPanel(kWiper), 29);
}

// Switched off at rest, the motor's timer still moves as if it stepped: a late frame uses up 21
// periods, the next frame the rest.
TEST(Wiper, idle_late_frame_uses_up_the_periods_a_moving_wiper_would) {
  StartWindscreen();
  FrameAt(1000);  // starts the motor's timer
  FrameAt(1010);  // one step at rest
  const int32_t frames[][2] = {{1300, 1220}, {1305, 1300}, {1309, 1300}, {1310, 1310}};  // time, timer
  for (const auto& frame : frames) {
    FrameAt(frame[0]);
    EXPECT_EQ(shield.wiper, frame[1]) << frame[0];
  }
  // A motor with no whole millisecond per step rests all the same.
  StartWindscreen({"wiperrate=50"});
  for (int32_t time = 1000; time < 1100; time += 16) FrameAt(time);
  EXPECT_EQ(shield.wiperPosition, 0);
  EXPECT_EQ(GetPanel(kWiper), 0);
}

// Continuous mode from rest at 0: the wiper sound plays as the stroke starts, and at the turn
// only when wipersound has a further value; back at 0 the next stroke starts at once.
TEST(Wiper, continuous_strokes_with_the_sound_at_their_start_and_optionally_at_the_turn) {
  struct Case {
    const char* line;
    std::vector<int> soundAt;  // positions reached by steps that played the wiper sound
  };
  for (const Case& c : {Case{"wipersound=42,1", {1, 99, 1}}, Case{"wipersound=42", {1, 1}}}) {
    SCOPED_TRACE(c.line);
    StartWindscreen({c.line});
    WindshieldKeyPressed(kOnKey);
    int32_t time = 1000;
    FrameAt(time);
    std::vector<int> soundAt;
    for (int step = 0; step < 201; step++) {
      SetSound(kWiperSound, SOUND_STOP);
      FrameAt(time += 10);
      if (GetSound(kWiperSound) == SOUND_PLAY) soundAt.push_back(shield.wiperPosition);
      if (step == 99) {
        EXPECT_EQ(shield.wiperPosition, 100);
      }
      if (step == 199) {
        EXPECT_EQ(shield.wiperPosition, 0);
      }
    }
    EXPECT_EQ(shield.wiperPosition, 1);
    EXPECT_EQ(soundAt, c.soundAt);
  }
}

TEST(Wiper, intermittent_strokes_at_once_then_rests_for_the_delay_whenever_it_is_switched_on) {
  // Switched on at 3000 the pause that has just run out began at -1 ms; switched on at -2011 the
  // rest after the first stroke begins at -1 ms. Neither time is special.
  for (int32_t switchedOn : {10000, 3000, -2011}) {
    SCOPED_TRACE(switchedOn);
    StartWindscreen({"wiperdelay=3000"});
    int32_t time = switchedOn;
    gState.Time = time;
    WindshieldKeyPressed(kOnKey);
    FrameAt(time);
    for (int step = 0; step < 200; step++) FrameAt(time += 10);
    EXPECT_EQ(shield.wiperPosition, 0);
    int32_t restStart = time + 10;
    // Rests from the next step on for 3000 ms.
    while (time < restStart + 3000 - 10) {
      FrameAt(time += 10);
      ASSERT_EQ(shield.wiperPosition, 0) << time;
    }
    FrameAt(time += 10);
    EXPECT_EQ(time, restStart + 3000);
    EXPECT_EQ(shield.wiperPosition, 1);
  }
}

TEST(Wiper, from_rest_in_mid_stroke_it_first_moves_up) {
  StartWindscreen({"wiperholdposition=50"});
  WindshieldKeyPressed(kOnKey);
  FrameAt(1000);
  FrameAt(1010);
  EXPECT_EQ(shield.wiperPosition, 51);
}

TEST(Wiper, switched_off_mid_stroke_it_returns_to_rest_and_holds) {
  StartWindscreen({"wiperholdposition=50"});
  WindshieldKeyPressed(kOnKey);
  int32_t time = 1000;
  FrameAt(time);
  for (int step = 0; step < 60; step++) FrameAt(time += 10);
  EXPECT_EQ(shield.wiperPosition, 90);
  WindshieldKeyPressed(kOffKey);
  for (int step = 0; step < 300; step++) FrameAt(time += 10);
  EXPECT_EQ(shield.wiperPosition, 50);
  EXPECT_EQ(shield.wiperDirection, 0);
}

TEST(Wiper, switched_off_it_does_not_move) {
  StartWindscreen();
  for (int32_t time = 1000; time < 3000; time += 10) FrameAt(time);
  EXPECT_EQ(shield.wiperPosition, 0);
  EXPECT_EQ(GetPanel(kWiper), 0);
  // Switched on after the idle frames, it leaves the rest position.
  WindshieldKeyPressed(kOnKey);
  for (int32_t time = 3000; time < 3500; time += 10) FrameAt(time);
  EXPECT_GT(shield.wiperPosition, 0);
  EXPECT_EQ(GetPanel(kWiper), shield.wiperPosition);
}

// A wiper at rest keeps its elements as it leaves them: what another instrument writes there
// between two frames is undone by its next step, also after many idle frames.
TEST(Wiper, switched_off_at_rest_it_rewrites_its_elements_on_every_step) {
  StartWindscreen({"numberofdrops=8", "dropstartindex=100", "wiperholdposition=0"});
  int32_t time = 1000;
  for (int i = 0; i < 50; i++) FrameAt(time += 16);
  SetPanel(kWiper, 9);
  SetPanel(100, 7);  // the drop element under the blade at rest
  FrameAt(time += 16);
  EXPECT_EQ(GetPanel(kWiper), 0);
  EXPECT_EQ(GetPanel(100), 0);
  SetPanel(100, 5);
  FrameAt(time += 16);
  EXPECT_EQ(GetPanel(100), 0);
  EXPECT_EQ(shield.unusedDrops, 8);
}

TEST(Wiper, unwired_wiper_does_not_animate) {
  StartWindscreen({"wiperindex=-1"});
  WindshieldKeyPressed(kOnKey);
  for (int32_t time = 1000; time < 2000; time += 10) FrameAt(time);
  EXPECT_EQ(shield.wiperPosition, 0);
}

TEST(Wiper, rest_position_outside_the_stroke_never_overflows) {
  StartWindscreen({"wiperholdposition=2147483646", "wiperrate=0"});
  WindshieldKeyPressed(kOnKey);
  for (int32_t time = 1000; time < 1100; time += 10) FrameAt(time);
  EXPECT_EQ(shield.wiperPosition, 2147483647);
}

TEST(Rain, beacon_sets_the_intensity_and_ignores_values_out_of_range) {
  StartWindscreen({"numberofdrops=10"});
  gState.Time = 5000;
  Rain(101);
  Rain(-1);
  EXPECT_EQ(shield.rain, 0);
  EXPECT_EQ(shield.dropTimer, 0);
  Rain(60);
  EXPECT_EQ(shield.rain, 60);
  EXPECT_EQ(shield.dropInterval, 0);
  EXPECT_EQ(shield.dropTimer, 5000);
  WindshieldBeacon(ATS_BEACONDATA{20, 0, 0.0f, 30});
  EXPECT_EQ(shield.rain, 60);
}

TEST(Rain, first_drop_falls_on_the_next_frame_among_the_first_dry_places) {
  StartWindscreen({"numberofdrops=10", "dropstartindex=100"});
  gState.Time = 5000;
  Rain(100);
  PlatformSeedRandom(7);
  FrameAt(5020);
  // No drop sound: the first call picks among the first 9 of the 10 dry places.
  int expected = 100 + RandAfter(7, 0) % 9;
  EXPECT_EQ(GetPanel(expected), 1);
  EXPECT_EQ(DropsShown(), 1);
  EXPECT_EQ(DropElementsLit(), 1);
  EXPECT_EQ(shield.dropList[9], expected);
  EXPECT_EQ(shield.dropListPos[expected - 100], 9);
  EXPECT_EQ(shield.dropInterval, 200 + RandAfter(7, 1) % 160 - 80);
}

TEST(Rain, drop_interval_spans_the_intensity_range) {
  StartWindscreen({"numberofdrops=10"});
  for (int intensity : {1, 100}) {
    int low = 1 << 30, high = -(1 << 30);
    Rain(intensity);
    for (int i = 0; i < 2000; i++) {
      shield.dropTimer = 1;
      shield.dropInterval = 0;
      FrameAt(100);
      low = std::min(low, shield.dropInterval);
      high = std::max(high, shield.dropInterval);
    }
    if (intensity == 100) {
      EXPECT_GE(low, 120);
      EXPECT_LE(high, 279);
    } else {
      EXPECT_GE(low, 12000);
      EXPECT_LE(high, 27999);
    }
  }
}

TEST(Rain, drop_event_calls_rand_once_per_choice_it_makes) {
  // Sound variants and a dry place: variant, place, interval.
  StartWindscreen({"numberofdrops=10", "dropsound=43,4"});
  gState.Time = 50;
  Rain(50);
  PlatformSeedRandom(11);
  FrameAt(100);
  EXPECT_EQ(RandCallsSince(11), 3);
  // Variants but no dry place left: variant, interval.
  StartWindscreen({"numberofdrops=10", "dropsound=43,4"});
  gState.Time = 50;
  Rain(50);
  shield.unusedDrops = 0;
  PlatformSeedRandom(11);
  FrameAt(100);
  EXPECT_EQ(RandCallsSince(11), 2);
  // A single drop sound and a dry place: place, interval.
  StartWindscreen({"numberofdrops=10", "dropsound=43"});
  gState.Time = 50;
  Rain(50);
  PlatformSeedRandom(11);
  FrameAt(100);
  EXPECT_EQ(RandCallsSince(11), 2);
  EXPECT_EQ(GetSound(kDropSound), SOUND_PLAY);
  // Neither: interval only.
  StartWindscreen({"numberofdrops=10"});
  gState.Time = 50;
  Rain(50);
  shield.unusedDrops = 0;
  PlatformSeedRandom(11);
  FrameAt(100);
  EXPECT_EQ(RandCallsSince(11), 1);
}

TEST(Rain, drop_sound_plays_the_variant_that_rand_chose) {
  StartWindscreen({"numberofdrops=10", "dropsound=43,4"});
  gState.Time = 50;
  Rain(50);
  PlatformSeedRandom(3);
  FrameAt(100);
  int variant = RandAfter(3, 0) % 4;
  for (int k = 0; k < 4; k++) EXPECT_EQ(GetSound(kDropSound + k), k == variant ? SOUND_PLAY : SOUND_STOP);
}

// A further dropsound value of 0 or less names no variants: the first sound plays and no number
// is drawn for a variant.
TEST(Rain, drop_sound_without_variants_plays_its_own_index) {
  for (const char* line : {"dropsound=43,0", "dropsound=43,-3"}) {
    SCOPED_TRACE(line);
    StartWindscreen({"numberofdrops=10", line});
    gState.Time = 50;
    Rain(50);
    PlatformSeedRandom(5);
    FrameAt(100);
    EXPECT_EQ(RandCallsSince(5), 2);
    EXPECT_EQ(GetSound(kDropSound), SOUND_PLAY);
  }
}

TEST(Rain, dry_weather_holds_the_drop_timer) {
  StartWindscreen({"numberofdrops=10"});
  FrameAt(4000);
  EXPECT_EQ(shield.dropTimer, 4000);
  EXPECT_EQ(DropsShown(), 0);
}

TEST(Rain, drop_already_lit_by_another_instrument_is_not_counted) {
  StartWindscreen({"numberofdrops=1", "dropstartindex=100"});
  SetPanel(100, 5);
  gState.Time = 50;
  Rain(50);
  FrameAt(100);
  EXPECT_EQ(shield.unusedDrops, 1);
}

TEST(Rain, wiper_clears_the_drops_it_sweeps_over) {
  StartWindscreen({"numberofdrops=10", "dropstartindex=100"});
  for (int i = 0; i < 10; i++) {
    Rain(100);
    FrameAt(100 + i);
  }
  int shown = DropsShown();
  ASSERT_GT(shown, 0);
  EXPECT_EQ(DropElementsLit(), shown);
  WindshieldKeyPressed(kOnKey);
  int32_t time = 1000;
  Rain(0);
  FrameAt(time);
  for (int step = 0; step < 200; step++) FrameAt(time += 10);
  EXPECT_EQ(DropsShown(), 0);
  EXPECT_EQ(DropElementsLit(), 0);
  for (int i = 0; i < kMaxDrops; i++) EXPECT_EQ(shield.dropList[shield.dropListPos[i]], 100 + i);
}

// At the far end of the stroke the blade lies one past the last drop: that element belongs to
// some other instrument and is neither counted as a drop nor cleared.
TEST(Rain, stroke_end_leaves_the_element_past_the_last_drop_alone) {
  StartWindscreen({"numberofdrops=10", "dropstartindex=100"});
  SetPanel(110, 7);
  WindshieldKeyPressed(kOnKey);
  int32_t time = 1000;
  FrameAt(time);
  for (int step = 0; step < 100; step++) FrameAt(time += 10);
  ASSERT_EQ(shield.wiperPosition, 100);
  EXPECT_EQ(GetPanel(110), 7);
  EXPECT_EQ(shield.unusedDrops, 10);
}

// An element under the blade that another instrument lit is cleared, but it is no drop of the
// books: with every place dry (all 256 of them, or some) they stay as they are.
TEST(Rain, blade_clears_an_element_lit_by_another_instrument_without_counting_it) {
  struct Case {
    const char* drops;
    int element;  // a drop element under the blade's path
  };
  for (Case c : {Case{"numberofdrops=256", 125}, Case{"numberofdrops=10", 105}}) {
    SCOPED_TRACE(c.drops);
    StartWindscreen({c.drops, "dropstartindex=100"});
    int drops = Opt(OPT_numberofdrops);
    SetPanel(c.element, 7);
    WindshieldKeyPressed(kOnKey);
    int32_t time = 1000;
    FrameAt(time);
    for (int step = 0; step < 100; step++) FrameAt(time += 10);
    EXPECT_EQ(GetPanel(c.element), 0);
    EXPECT_EQ(shield.unusedDrops, drops);
    for (int i = 0; i < kMaxDrops; i++) ASSERT_EQ(shield.dropList[shield.dropListPos[i]], 100 + i) << i;
  }
}

// A rest position outside the stroke puts the blade beside the glass: there it wipes nothing.
TEST(Rain, blade_beside_the_glass_wipes_nothing) {
  for (const char* rest : {"wiperholdposition=-60", "wiperholdposition=160"}) {
    SCOPED_TRACE(rest);
    StartWindscreen({"numberofdrops=10", "dropstartindex=100", rest});
    for (int i = 0; i < 10; i++) {
      Rain(100);
      FrameAt(990 + i);
    }
    int shown = DropsShown();
    ASSERT_GT(shown, 0);
    SetPanel(115, 7);  // another instrument, where a drop would lie past the last one
    WindshieldKeyPressed(kOnKey);
    int32_t time = 1000;
    Rain(0);
    FrameAt(time);
    for (int step = 0; step < 35; step++) FrameAt(time += 10);
    ASSERT_TRUE(shield.wiperPosition < -10 || shield.wiperPosition > 100) << shield.wiperPosition;
    EXPECT_EQ(DropsShown(), shown);
    EXPECT_EQ(DropElementsLit(), shown);
    EXPECT_EQ(GetPanel(115), 7);
  }
}

TEST(Rain, drops_beyond_the_panel_are_never_shown) {
  StartWindscreen({"numberofdrops=20", "dropstartindex=250"});
  Rain(100);
  for (int32_t time = 100; time < 20000; time += 50) FrameAt(time);
  int lit = 0;
  for (int element = 250; element < 256; element++) lit += GetPanel(element) > 0;
  EXPECT_EQ(DropsShown(), lit);
  EXPECT_GT(lit, 0);
}

TEST(Rain, absurd_start_indices_write_nothing_and_keep_the_books) {
  for (const char* line : {"dropstartindex=2147483600", "dropstartindex=-2147483648", "dropstartindex=-30"}) {
    SCOPED_TRACE(line);
    StartWindscreen({"numberofdrops=256", line, "wiperindex=-1"});
    Rain(100);
    for (int32_t time = 100; time < 40000; time += 50) FrameAt(time);
    int lit = 0;
    for (int element = 0; element < 256; element++) lit += GetPanel(element) > 0;
    EXPECT_EQ(DropsShown(), lit);
  }
}

// A long rainy run with the wiper switched about: the drops the books count are exactly the
// drop elements lit, and dropList stays a permutation with its inverse intact.
TEST(Rain, books_match_the_glass_through_a_long_random_run) {
  struct Setup {
    const char* drops;
    const char* start;
    const char* delay;
  };
  for (Setup setup : {Setup{"numberofdrops=200", "dropstartindex=0", "wiperdelay=700"},
                      Setup{"numberofdrops=37", "dropstartindex=120", "wiperdelay=0"},
                      Setup{"numberofdrops=3", "dropstartindex=9", "wiperdelay=1500"}}) {
    SCOPED_TRACE(setup.drops);
    StartWindscreen({setup.drops, setup.start, setup.delay, "wiperrate=700", "dropsound=1,3",
                     "wipersound=4,1"});
    // Wiper and switch lamp away from every drop element.
    gOpts[OPT_wiperindex].value = 250;
    gOpts[OPT_wiperindicator].value = 251;
    std::mt19937 random(42);
    int32_t time = 1000;
    int drops = Opt(OPT_numberofdrops);
    int first = Opt(OPT_dropstartindex);
    bool everShown = false;
    for (int frame = 0; frame < 100000; frame++) {
      time += 5 + static_cast<int32_t>(random() % 60);
      if (random() % 400 == 0) Rain(static_cast<int>(random() % 101));
      if (random() % 300 == 0) WindshieldKeyPressed(random() % 2 ? kOnKey : kOffKey);
      FrameAt(time);
      int shown = DropsShown();
      everShown = everShown || shown > 0;
      ASSERT_EQ(shown, DropElementsLit()) << "frame " << frame;
      ASSERT_GE(shield.unusedDrops, 0);
      for (int entry = shield.unusedDrops; entry < drops; entry++) {
        int drop = shield.dropList[entry] - first;
        ASSERT_TRUE(drop >= 0 && drop < drops);
        ASSERT_EQ(shield.dropListPos[drop], entry);
      }
    }
    EXPECT_TRUE(everShown);
  }
}

TEST(Wiper, host_keys_reach_the_wiper_switch) {
  StartWindscreen({"wiperdelay=2000", "wiperonkey=21", "wiperoffkey=22"});
  KeyDown(21);
  EXPECT_EQ(shield.wiperMode, kWiperIntermittent);
  EXPECT_EQ(GetPanel(kSwitchLamp), 1);
  KeyDown(22);
  EXPECT_EQ(shield.wiperMode, kWiperOff);
  EXPECT_EQ(GetPanel(kSwitchLamp), 0);
}
