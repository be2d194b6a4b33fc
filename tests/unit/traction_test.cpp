// Traction set-up, temperature, gearbox changes, the driver's traction keys and the fuelling zone.
#include <cstdio>
#include <limits>
#include <string>

#include "platform/platform.h"
#include "test_files.h"
#include "traction_fixture.h"

namespace {

// ---- Start of a run ----

TEST_F(TractionTest, start_of_run_fills_boiler_and_tank_and_shows_zeroes) {
  SetValues(OPT_fuelstartamount, {300});
  SetValues(OPT_fuelindicator, {12});
  SetValues(OPT_thermometer, {11});
  SetValues(OPT_cutoffindicator, {13});
  SetValues(OPT_gearratios, {10, 20, 30});
  SetValues(OPT_boilermaxpressure, {18000});
  SetValues(OPT_boilermaxwaterlevel, {9000});
  gPanel[11] = gPanel[13] = 99;
  trac.hpTemperature = 50;
  trac.gear = 2;
  trac.cutoff = 40;
  trac.automatic = trac.stm_injector = trac.stm_blowOff = trac.fuelFill = true;
  trac.autoTimer = 777;
  gState.Time = 4321;
  Start();

  EXPECT_EQ(trac.hpTemperature, 0);
  EXPECT_EQ(gPanel[11], 0);
  EXPECT_EQ(trac.fuel, 300);
  EXPECT_EQ(gPanel[12], 300);
  EXPECT_EQ(trac.gear, 0);
  EXPECT_EQ(trac.gears, 3);
  EXPECT_EQ(trac.cutoff, 0);
  EXPECT_EQ(gPanel[13], 0);
  EXPECT_EQ(trac.stm_boilerPressure, 18000);
  EXPECT_EQ(trac.stm_boilerWater, 9000);
  EXPECT_EQ(trac.gearLoop, kGearLoopNotWaiting);
  EXPECT_FALSE(trac.automatic || trac.stm_injector || trac.stm_blowOff || trac.fuelFill);
  for (int32_t timer : {trac.tempTimer, trac.fuelTimer, trac.cutoffChangeTimer, trac.boilingTimer, trac.drainTimer, trac.injectorTimer}) {
    EXPECT_EQ(timer, 4321);
  }
  EXPECT_EQ(trac.autoTimer, 777);  // the automatic's cadence runs on across restarts
}

TEST_F(TractionTest, steam_start_holds_reverser_neutral_and_power_at_0) {
  SetValues(OPT_traction, {kTractionSteam});
  Start();
  Drive(1, 5);
  EXPECT_EQ(gHandles.Reverser, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(TractionTest, diesel_start_holds_power_at_0_only_with_a_gearbox) {
  SetValues(OPT_traction, {kTractionDiesel});
  SetValues(OPT_gearratios, {10});
  Start();
  Drive(1, 4);
  EXPECT_EQ(gHandles.Reverser, 1);
  EXPECT_EQ(gHandles.Power, 0);

  DestroyHandles();
  InitHandles();
  SetValues(OPT_gearratios, {0, 10});
  Start();
  Drive(1, 4);
  EXPECT_EQ(gHandles.Power, 4);
}

// ---- Engine temperature ----

TEST_F(TractionTest, temperature_never_falls_below_0_and_default_warning_is_always_on) {
  SetValues(OPT_thermometer, {20});
  SetValues(OPT_overheatindicator, {21});
  SetValues(OPT_overheatalarm, {22});
  Start();
  IncreaseTemperature(trac, -5);
  EXPECT_EQ(trac.hpTemperature, 0);
  EXPECT_EQ(gPanel[20], 0);
  EXPECT_EQ(gPanel[21], 1);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
  // Written on every call.
  gPanel[21] = 0;
  gSound[22] = SOUND_STOP;
  IncreaseTemperature(trac, 0);
  EXPECT_EQ(gPanel[21], 1);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
}

TEST_F(TractionTest, overheat_warning_comes_on_at_its_threshold_and_goes_off_below) {
  SetValues(OPT_thermometer, {20});
  SetValues(OPT_overheatindicator, {21});
  SetValues(OPT_overheatalarm, {22});
  SetValues(OPT_overheatwarn, {50});
  Start();
  IncreaseTemperature(trac, 49);
  EXPECT_EQ(gPanel[20], 49);
  EXPECT_EQ(gPanel[21], 0);
  EXPECT_EQ(gSound[22], SOUND_STOP);
  IncreaseTemperature(trac, 1);
  EXPECT_EQ(gPanel[21], 1);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
  IncreaseTemperature(trac, -1);
  EXPECT_EQ(gPanel[21], 0);
  EXPECT_EQ(gSound[22], SOUND_STOP);
}

TEST_F(TractionTest, overheat_cut_holds_power_at_0_for_the_rest_of_the_run) {
  SetValues(OPT_overheat, {100});
  SetValues(OPT_overheatwarn, {90});
  SetValues(OPT_overheatresult, {1});
  Start();
  Drive(1, 3);
  IncreaseTemperature(trac, 99);
  EXPECT_EQ(gHandles.Power, 3);
  IncreaseTemperature(trac, 1);
  EXPECT_EQ(gHandles.Power, 0);
  IncreaseTemperature(trac, -100);
  EXPECT_EQ(trac.hpTemperature, 0);
  SetPowerHandle(2);
  EXPECT_EQ(gHandles.Power, 0);

  // Any other overheatresult value has no consequence.
  DestroyHandles();
  InitHandles();
  SetValues(OPT_overheatresult, {2});
  Start();
  Drive(1, 3);
  IncreaseTemperature(trac, 500);
  EXPECT_EQ(gHandles.Power, 3);
}

TEST_F(TractionTest, temperature_saturates_instead_of_overflowing) {
  Start();
  IncreaseTemperature(trac, std::numeric_limits<int>::max());
  IncreaseTemperature(trac, std::numeric_limits<int>::max());
  EXPECT_EQ(trac.hpTemperature, std::numeric_limits<int32_t>::max());
  IncreaseTemperature(trac, std::numeric_limits<int>::min());
  EXPECT_EQ(trac.hpTemperature, 0);
}

// ---- Gearbox ----

TEST_F(TractionTest, gear_change_down_plays_only_the_down_sound_when_one_is_given) {
  SetValues(OPT_gearchangesound, {30, 31});
  SetValues(OPT_gearindicator, {32});
  Start();
  ChangeGear(trac, 2);
  EXPECT_EQ(gSound[30], SOUND_PLAY);
  EXPECT_EQ(gSound[31], SOUND_STOP);
  EXPECT_EQ(gPanel[32], 2);
  gSound[30] = SOUND_STOP;
  ChangeGear(trac, 1);
  EXPECT_EQ(gSound[30], SOUND_STOP);
  EXPECT_EQ(gSound[31], SOUND_PLAY);
  EXPECT_EQ(trac.gear, 1);
  EXPECT_EQ(gPanel[32], 1);
  // Without a down sound the change sound plays both ways.
  SetValues(OPT_gearchangesound, {30});
  gSound[30] = SOUND_STOP;
  ChangeGear(trac, 0);
  EXPECT_EQ(gSound[30], SOUND_PLAY);
}

TEST_F(TractionTest, changing_to_the_engaged_gear_does_nothing) {
  SetValues(OPT_gearchangesound, {30});
  SetValues(OPT_gearindicator, {32});
  SetValues(OPT_gearloopsound, {33, 500});
  Start();
  gSound[33] = SOUND_LOOP;
  ChangeGear(trac, 0);
  EXPECT_EQ(gSound[30], SOUND_STOP);
  EXPECT_EQ(gPanel[32], 0);
  EXPECT_EQ(gSound[33], SOUND_LOOP);
  EXPECT_EQ(trac.gearLoop, kGearLoopNotWaiting);
}

TEST_F(TractionTest, gear_change_silences_the_gear_loop_and_times_its_restart) {
  SetValues(OPT_gearloopsound, {33, 500});
  Start();
  gSound[33] = SOUND_LOOP;
  gState.Time = 2500;
  ChangeGear(trac, 1);
  EXPECT_EQ(gSound[33], SOUND_STOP);
  EXPECT_EQ(trac.gearLoopTimer, 2500);
  ChangeGear(trac, 0);
  EXPECT_EQ(trac.gearLoop, kGearLoopNotWaiting);
}

TEST_F(TractionTest, gear_keys_move_between_neutral_and_top_gear_with_power_off) {
  SetValues(OPT_gearratios, {10, 20, 30});
  Start();
  for (int i = 0; i < 5; i++) TractionKeyPressed(3);
  EXPECT_EQ(trac.gear, 3);
  TractionKeyPressed(4);
  EXPECT_EQ(trac.gear, 2);
  for (int i = 0; i < 5; i++) TractionKeyPressed(4);
  EXPECT_EQ(trac.gear, 0);
}

TEST_F(TractionTest, gear_keys_do_nothing_with_the_power_handle_out_of_0) {
  SetValues(OPT_gearratios, {10, 20, 30});
  Start();
  TractionKeyPressed(3);
  SetPowerHandle(1);
  TractionKeyPressed(3);
  EXPECT_EQ(trac.gear, 1);
  TractionKeyPressed(4);
  EXPECT_EQ(trac.gear, 1);
}

// ---- Cut-off, injector and automatic keys ----

TEST_F(TractionTest, cutoff_keys_are_rate_limited) {
  Start();  // at 1000 ms
  gState.Time = 1040;
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 1);
  gState.Time = 1070;  // 30 ms later: refused
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 1);
  gState.Time = 1080;  // 40 ms after the accepted press
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 2);
  gState.Time = 1120;
  TractionKeyPressed(6);
  EXPECT_EQ(trac.cutoff, 1);
}

TEST_F(TractionTest, any_key_restarts_the_cutoff_period) {
  Start();
  gState.Time = 1040;
  TractionKeyPressed(77);  // not a cut-off key, but the period starts again
  gState.Time = 1070;
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 0);
  gState.Time = 1080;
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 1);
}

TEST_F(TractionTest, first_cutoff_press_after_a_start_at_time_0_only_starts_the_period) {
  gState.Time = 0;
  Start();
  gState.Time = 500;
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 0);
  gState.Time = 540;
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, 1);
}

TEST_F(TractionTest, cutoff_stays_between_cutoffmin_and_cutoffmax) {
  SetValues(OPT_cutoffmax, {2});
  SetValues(OPT_cutoffmin, {-1});
  Start();
  for (int t = 1040; t < 1400; t += 40) {
    gState.Time = t;
    TractionKeyPressed(5);
  }
  EXPECT_EQ(trac.cutoff, 2);
  for (int t = 1400; t < 1800; t += 40) {
    gState.Time = t;
    TractionKeyPressed(6);
  }
  EXPECT_EQ(trac.cutoff, -1);
}

TEST_F(TractionTest, cutoff_at_the_32_bit_limit_does_not_overflow) {
  SetValues(OPT_cutoffmax, {std::numeric_limits<int32_t>::max()});
  SetValues(OPT_cutoffchangespeed, {-1});  // every press accepted
  Start();
  trac.cutoff = std::numeric_limits<int32_t>::max();
  TractionKeyPressed(5);
  EXPECT_EQ(trac.cutoff, std::numeric_limits<int32_t>::max());
}

TEST_F(TractionTest, injector_key_toggles_the_injector_and_its_lamp) {
  SetValues(OPT_injectortogglekey, {40});
  SetValues(OPT_injectorindicator, {41});
  Start();
  gState.Time = 3000;
  TractionKeyPressed(40);
  EXPECT_TRUE(trac.stm_injector);
  EXPECT_EQ(gPanel[41], 1);
  EXPECT_EQ(trac.injectorTimer, 3000);
  TractionKeyPressed(40);
  EXPECT_FALSE(trac.stm_injector);
  EXPECT_EQ(gPanel[41], 0);
}

TEST_F(TractionTest, automatic_key_toggles_automatic_mode_and_its_lamp) {
  SetValues(OPT_automatic, {42});
  SetValues(OPT_automaticindicator, {43});
  Start();
  TractionKeyPressed(42);
  EXPECT_TRUE(trac.automatic);
  EXPECT_EQ(gPanel[43], 1);
  TractionKeyPressed(41);
  EXPECT_TRUE(trac.automatic);
  TractionKeyPressed(42);
  EXPECT_FALSE(trac.automatic);
  EXPECT_EQ(gPanel[43], 0);
}

// ---- Fuelling zone ----

TEST_F(TractionTest, fuelling_zone_is_entered_and_left_over_its_markers_in_either_direction) {
  Start();
  gState.Speed = 10.0f;
  TractionSetData({22, 0, 0.0f, 1});
  EXPECT_TRUE(trac.fuelFill);
  TractionSetData({22, 0, 0.0f, 0});
  EXPECT_FALSE(trac.fuelFill);
  gState.Speed = -10.0f;
  TractionSetData({22, 0, 0.0f, 0});  // the exit marker, backwards: entering
  EXPECT_TRUE(trac.fuelFill);
  TractionSetData({22, 0, 0.0f, 1});
  EXPECT_FALSE(trac.fuelFill);
}

TEST_F(TractionTest, fuelling_marker_at_standstill_or_unknown_speed_changes_nothing) {
  Start();
  gState.Speed = 0.0f;
  TractionSetData({22, 0, 0.0f, 1});
  EXPECT_FALSE(trac.fuelFill);
  gState.Speed = std::numeric_limits<float>::quiet_NaN();
  TractionSetData({22, 0, 0.0f, 1});
  EXPECT_FALSE(trac.fuelFill);
  gState.Speed = 10.0f;
  TractionSetData({23, 0, 0.0f, 1});
  EXPECT_FALSE(trac.fuelFill);
}

// ---- Heating by notch and ammeter, for every model ----

TEST_F(TractionTest, heating_by_notch_adds_the_rate_of_the_notch_each_second) {
  SetValues(OPT_heatingpart, {1});
  SetValues(OPT_heatingrate, {-1, 2, 4, 7});
  Start();
  Drive(1, 2);
  Frame(1999, 0.0f);
  EXPECT_EQ(trac.hpTemperature, 0);
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.hpTemperature, 4);
  SetPowerHandle(5);  // beyond the list: its last value
  Frame(3000, 0.0f);
  EXPECT_EQ(trac.hpTemperature, 11);
  SetBrakeHandle(1);  // braking: the rate of notch 0 cools
  Frame(4000, 0.0f);
  EXPECT_EQ(trac.hpTemperature, 10);
}

TEST_F(TractionTest, ammeter_reads_the_value_of_the_power_notch_while_driven) {
  SetValues(OPT_ammeter, {44});
  SetValues(OPT_ammetervalues, {0, 100, 200});
  Start();
  Drive(1, 2);
  Frame(1050, 10.0f);
  EXPECT_EQ(gPanel[44], 200);
  SetReverserHandle(0);
  Frame(1100, 10.0f);
  EXPECT_EQ(gPanel[44], 0);
  SetReverserHandle(-1);
  SetPowerHandle(4);
  Frame(1150, 10.0f);
  EXPECT_EQ(gPanel[44], 200);
  SetBrakeHandle(2);
  Frame(1200, 10.0f);
  EXPECT_EQ(gPanel[44], 0);
}

// A long table of readings: every notch reads its own value, also past the first sixteen, and a
// notch past the table its last.
TEST_F(TractionTest, ammeter_reads_every_notch_of_a_long_table) {
  gTrainspecs.PowerNotches = 24;
  DestroyHandles();
  InitHandles();
  SetValues(OPT_ammeter, {44});
  SetValues(OPT_ammetervalues, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170,
                                180, 190});
  Start();
  const struct {
    int notch;
    int reading;
  } cases[] = {{1, 10}, {15, 150}, {16, 160}, {19, 190}, {22, 190}};
  int32_t time = 1050;
  for (const auto& c : cases) {
    Drive(1, c.notch);
    Frame(time += 50, 10.0f);
    EXPECT_EQ(gPanel[44], c.reading) << c.notch;
  }
}

// ---- Through the entry points ----

// Starts a run that reads this configuration from a file of the test's own.
class StartWithConfig {
 public:
  explicit StartWithConfig(const std::string& text) {
    std::string path = folder_.File("Velmora.cfg");
    WriteBytes(path, text);
    SetConfigPathOverride(path.c_str());
    Initialize(0);
    SetConfigPathOverride(nullptr);
  }
 private:
  TempFolder folder_;
};

ATS_HANDLES FrameAt(int32_t time) {
  static int panel[kElementCount];
  static int sound[kElementCount];
  ATS_VEHICLESTATE state = {};
  state.Time = time;
  return Elapse(state, panel, sound);
}

TEST(TractionEntryPoints, steam_start_limits_hold_through_the_frame_cycle) {
  Load();
  SetVehicleSpec({8, 5, 0, 0, 4});
  StartWithConfig run("traction=1\n");
  SetReverser(1);
  EXPECT_EQ(gHandles.Reverser, 0);
  SetPower(5);
  for (int32_t t = 100; t <= 1000; t += 100) {
    ATS_HANDLES handles = FrameAt(t);
    EXPECT_EQ(handles.Power, 0);
    EXPECT_EQ(handles.Reverser, 0);
  }
  Dispose();
}

TEST(TractionEntryPoints, diesel_start_limit_holds_and_the_default_places_none) {
  Load();
  SetVehicleSpec({8, 5, 0, 0, 4});
  {
    StartWithConfig run("traction=2\ngearratios=12,20\n");
  }
  SetPower(5);
  EXPECT_EQ(FrameAt(100).Power, 0);
  EXPECT_EQ(FrameAt(200).Power, 0);
  // The same driver action without a traction model gives full power.
  {
    StartWithConfig run("");
  }
  SetPower(5);
  EXPECT_EQ(FrameAt(300).Power, 5);
  Dispose();
}

}  // namespace
