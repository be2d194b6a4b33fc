// Whether a cab system runs and an option acts, as the run switches read into the options decide.
#include <gtest/gtest.h>

#include <string>

#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"

namespace {

struct RunCase {
  OptionId runSwitch;
  int32_t value;
  OptionId option;
  bool systemRuns;     // the option's system
  OptionEffect effect;
};

const RunCase kRunCases[] = {
    {OPT_runubahn, 1, OPT_sifakey, true, EFFECT_ACTS},
    {OPT_runubahn, 0, OPT_sifakey, false, EFFECT_NOT_RUN},
    {OPT_runubahn, 0, OPT_runubahn, false, EFFECT_ACTS},            // the switch itself is read
    {OPT_runubahn, 0, OPT_tractioninterlock, true, EFFECT_ACTS},    // the handle arbitration always runs
    {OPT_runvigilance, 0, OPT_vigilancelamp, false, EFFECT_NOT_RUN},
    {OPT_runvigilance, -3, OPT_vigilancelamp, true, EFFECT_ACTS},   // any value other than 0 runs it
    {OPT_runwipers, 0, OPT_wiperindicator, false, EFFECT_PARTLY},
    {OPT_runwipers, 1, OPT_wiperindicator, true, EFFECT_ACTS},
    {OPT_runpzb90, 1, OPT_speedselectorspeeds, false, EFFECT_UNREAD},  // read by no system at all
};

TEST(SystemRuns, follows_the_run_switch_of_the_options_system) {
  for (const RunCase& c : kRunCases) {
    SetDefaults();
    gOpts[c.runSwitch].value = c.value;
    const std::string what = kOptionKeys[c.runSwitch] + std::to_string(c.value) + " " + kOptionKeys[c.option];
    EXPECT_EQ(SystemRuns(kOptionSystem[c.option]), c.systemRuns) << what;
    EXPECT_EQ(EffectOf(c.option), c.effect) << what;
  }
  SetDefaults();
}

// The tools name the switch that runs whatever does not act, or acts on a beacon, by default.
TEST(SystemRuns, every_system_that_can_sleep_or_takes_beacons_has_a_run_switch) {
  for (int option = 0; option < OPTION_COUNT; option++) {
    const bool sleeps = kOptionEffect[option] == EFFECT_NOT_RUN || kOptionEffect[option] == EFFECT_PARTLY;
    if (sleeps) {
      EXPECT_GE(kCabSystemSwitch[kOptionSystem[option]], 0) << kOptionKeys[option];
    }
  }
  for (int i = 0; i < kBeaconTypeCount; i++) {
    EXPECT_GE(kCabSystemSwitch[kBeaconTypes[i].system], 0) << kBeaconTypes[i].type;
  }
}

}  // namespace
