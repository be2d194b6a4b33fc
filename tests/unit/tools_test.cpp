#include <gtest/gtest.h>

#include <vector>

#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "platform/platform_random.h"

namespace {

TEST(Timer, armed_timer_starts_on_first_call_and_keeps_its_cadence) {
  int32_t timer = 0;
  EXPECT_FALSE(tOn(timer, 5000, 500));
  EXPECT_EQ(timer, 5000);
  EXPECT_FALSE(tOn(timer, 5499, 500));
  EXPECT_TRUE(tOn(timer, 5500, 500));
  EXPECT_EQ(timer, 5500);
  EXPECT_TRUE(tOn(timer, 6700, 500));
  EXPECT_EQ(timer, 6000);
  EXPECT_TRUE(tOn(timer, 6700, 500));
  EXPECT_EQ(timer, 6500);
  EXPECT_FALSE(tOn(timer, 6700, 500));
}

TEST(PanelAccess, only_indices_0_to_255_are_written) {
  Load();
  int guard[3 * kElementCount];
  for (int& v : guard) v = 42;
  gPanel = guard + kElementCount;
  gSound = guard + kElementCount;
  for (int index : {-1, -2, 256, 1000, -2147483647 - 1, 2147483647}) {
    SetPanel(index, 7);
    SetSound(index, 7);
    EXPECT_EQ(GetPanel(index), 0);
    EXPECT_EQ(GetSound(index), SOUND_STOP);
  }
  for (int v : guard) EXPECT_EQ(v, 42);
  SetPanel(255, 8);
  EXPECT_EQ(guard[2 * kElementCount - 1], 8);
  Load();
}

TEST(Timer, time_differences_wrap_without_overflow) {
  int32_t timer = 2147483000;
  EXPECT_TRUE(tOn(timer, -2147483000, 500));  // the clock wrapped: 1296 ms have passed
  EXPECT_EQ(timer, 2147483500);
  EXPECT_EQ(TimeDiff(-2147483647 - 1, 2147483647), 1);
  timer = 0;
  EXPECT_FALSE(tOn(timer, 0, 10));
  EXPECT_EQ(timer, 0);  // started at time 0: it starts again at the next call
  EXPECT_FALSE(tOn(timer, 5, 10));
  EXPECT_EQ(timer, 5);
}

TEST(IndicatorLamp, flashing_lamp_alternates_each_period) {
  Load();
  SetDefaults();
  OptionNode period = {500, nullptr};
  gOpts[OPT_tpwsindicator].value = 17;
  gOpts[OPT_tpwsindicator].next = &period;
  Indicator lamp = NewIndicator(OPT_tpwsindicator, 0);
  SetFlashing(lamp, 3);
  lamp.blinkTimer = 10000;
  int expected[][2] = {{10000, 3}, {10499, 3}, {10500, 0}, {10999, 0}, {11000, 3}, {11500, 0}};
  for (auto& step : expected) {
    gState.Time = step[0];
    ShowIndicator(lamp);
    EXPECT_EQ(gPanel[17], step[1]) << step[0];
  }
  gOpts[OPT_tpwsindicator].next = nullptr;
}

// Whenever it is set flashing, also when its blinking reaches the clock time -1, it blinks on.
TEST(IndicatorLamp, a_flashing_lamp_blinks_whatever_the_clock_reads) {
  Load();
  SetDefaults();
  OptionNode period = {500, nullptr};
  gOpts[OPT_tpwsindicator].value = 17;
  gOpts[OPT_tpwsindicator].next = &period;
  for (int32_t start : {10000, -1, -501, -1001}) {
    Indicator lamp = NewIndicator(OPT_tpwsindicator, 0);
    gState.Time = start;
    SetFlashing(lamp, 3);
    const int expected[] = {3, 0, 3, 0};  // at the start and after each period
    for (int k = 0; k < 4; k++) {
      gState.Time = start + 500 * k;
      ShowIndicator(lamp);
      EXPECT_EQ(gPanel[17], expected[k]) << start << " + " << 500 * k;
    }
  }
  gOpts[OPT_tpwsindicator].next = nullptr;
}

TEST(IndicatorLamp, unwired_lamp_writes_nothing_and_no_period_means_steady) {
  Load();
  SetDefaults();
  for (int i = 0; i < kElementCount; i++) gPanel[i] = 9;
  Indicator lamp = NewIndicator(OPT_tpwsindicator, 4);
  SetSteady(lamp, 4);
  ShowIndicator(lamp);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(gPanel[i], 9);
  gOpts[OPT_tpwsindicator].value = 20;
  lamp = NewIndicator(OPT_tpwsindicator, 4);
  SetFlashing(lamp, 4);
  lamp.blinkTimer = 1;
  for (int t = 0; t < 5000; t += 700) {
    gState.Time = t;
    ShowIndicator(lamp);
    EXPECT_EQ(gPanel[20], 4);
  }
}

// A lamp without an element keeps what it was set to, even with a blink period.
TEST(IndicatorLamp, an_unwired_lamp_with_a_period_does_not_blink) {
  Load();
  SetDefaults();
  OptionNode period = {500, nullptr};
  gOpts[OPT_tpwsindicator].next = &period;
  Indicator lamp = NewIndicator(OPT_tpwsindicator, 0);
  gState.Time = 10000;
  SetFlashing(lamp, 3);
  for (int32_t t : {10000, 10500, 11000, 11500}) {
    gState.Time = t;
    ShowIndicator(lamp);
    EXPECT_TRUE(lamp.lit) << t;
  }
  gOpts[OPT_tpwsindicator].next = nullptr;
}

TEST(IndicatorLamp, a_lamp_of_an_option_outside_the_table_writes_nothing) {
  Load();
  SetDefaults();
  for (int i = 0; i < kElementCount; i++) gPanel[i] = 9;
  for (int option : {-1, static_cast<int>(OPTION_COUNT), 100000}) {
    Indicator lamp = NewIndicator(option, 4);
    SetFlashing(lamp, 4);
    for (int t = 0; t < 3000; t += 700) {
      gState.Time = t;
      ShowIndicator(lamp);
    }
  }
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(gPanel[i], 9);
}

// The Windows C runtime's rand, never seeded or seeded with 1, gives 41, 18467, 6334, ...; the
// library draws the same numbers on every platform.
TEST(RandomNumbers, the_generator_gives_the_sequence_of_the_windows_runtime) {
  struct Case {
    uint32_t seed;
    std::vector<int> first;  // the runtime's first numbers after srand(seed)
  };
  const Case cases[] = {
      {1, {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}},
      {0, {38, 7719, 21238, 2437, 8855, 11797, 8365, 32285}},
      {0xFFFFFFFFu, {35, 29739, 3374}},
  };
  for (const Case& c : cases) {
    PlatformSeedRandom(c.seed);
    for (size_t i = 0; i < c.first.size(); i++) EXPECT_EQ(PlatformRandom(), c.first[i]) << c.seed << " draw " << i;
  }
}

}  // namespace
