#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "config/confload.h"
#include "cab/handles_testing.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "protection/br_safety.h"
#include "test_files.h"
#include "protection/br_safety_record.h"

namespace {

BRSafetyRecord& aws = BRSafetyState();

// Wiring of the cab used by these tests.
const int kAwsIndicator = 20;
const int kAwsHorn = 21;
const int kAwsBell = 22;
const int kTpwsLamp = 23;       // brake demand lamp, blinking 500 ms
const int kOverrideLamp = 24;   // train-stop override lamp, blinking 250 ms
const int kTpwsLamp3 = 25;
const int kTpwsWarning = 26;
const int kAckButton = 35;      // panel element of the acknowledge button
const int kAckKey = 30;
const int kResetKey = 31;
const int kOverrideKey = 32;
const int kBrakeNotches = 8;
const int kEmergency = kBrakeNotches + 1;

const char kCab[] =
    "system=2\n"
    "awsindicator=20\n"
    "awswarningsound=21\n"
    "awsclearsound=22\n"
    "awsacknowledgekey=30,35\n"
    "tpwsindicator=23,500\n"
    "tpwsindicator2=24,250\n"
    "tpwsindicator3=25\n"
    "tpwswarningsound=26\n"
    "tpwsresetkey=31\n"
    "tpwsoverridekey=32\n";

class BRSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override { Cab(kCab); }
  void TearDown() override {
    DestroyHandles();
    ScrapConfig();
  }

  // A fresh start of run with this configuration: demand tables, arrays and the British systems.
  void Cab(const std::string& text) {
    Load();
    ASSERT_EQ(LoadConfigText(text), 1);
    gTrainspecs = {kBrakeNotches, 5, 0, 0, 1};
    gState = {};
    DestroyHandles();
    InitHandles();
    InitBRSafety(0);
  }
  // Options changed after the start of run take effect at the next InitBRSafety.
  void Restart() { InitBRSafety(0); }

  void At(int32_t time, float speed) {
    gState.Time = time;
    gState.Speed = speed;
  }
  void Frame(int32_t time, float speed) {
    At(time, speed);
    BRSafety();
  }
  void Beacon(int type, int signal, int optional) { SetBRSafetyStatus({type, signal, 0.0f, optional}); }
  void Press(int key) {
    BRSafetyKeyPressed(key);
    BRSafetyKeyReleased(key);
  }
  int Brake() const { return gHandles.Brake; }
  int EmergencyDemands() const { return BrakeDemandTableMade() ? BrakeDemandCount(kEmergency) : -999; }

  // Drives into an unacknowledged caution until the AWS brake is applied.
  void ApplyAwsBrake(float speed) {
    At(10000, speed);
    Beacon(kBeaconAwsPermanentMagnet, 0, 0);
    Frame(13000, speed);
    ASSERT_TRUE(aws.awsPhase == kAwsBraking);
    ASSERT_EQ(Brake(), kEmergency);
  }
  void ApplyTpwsBrake(float speed) {
    At(20000, speed);
    Beacon(kBeaconSignalTrainStop, 0, 0);
    ASSERT_TRUE(TpwsBrakeApplied(aws));
    ASSERT_EQ(Brake(), kEmergency);
  }
};

// ---- Start of run ----

TEST_F(BRSafetyTest, init_clears_every_state_and_stops_both_aws_sounds) {
  ApplyAwsBrake(50.0f);
  ApplyTpwsBrake(50.0f);
  aws.awsPhase = kAwsReleasing;
  aws.tpwsPhase = kTpwsReleasing;
  aws.standstill = kStandstillTimed;
  aws.override = kOverrideArmed;
  SetSound(kAwsHorn, SOUND_LOOP);
  SetSound(kAwsBell, SOUND_PLAY);
  SetSound(kTpwsWarning, SOUND_LOOP);
  InitBRSafety(0);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_NE(aws.awsPhase, kAwsReleasing);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_NE(aws.tpwsPhase, kTpwsReleasing);
  EXPECT_EQ(aws.standstill, kStandstillUntimed);
  EXPECT_EQ(aws.override, kOverrideOff);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_STOP);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_LOOP);  // not a sound of the start of run
  EXPECT_EQ(aws.brakeDemand.option, OPT_tpwsindicator);
  EXPECT_FALSE(aws.brakeDemand.lit);
  EXPECT_EQ(aws.brakeDemand.phase, kLampSteady);
  EXPECT_EQ(aws.stopOverride.option, OPT_tpwsindicator2);
  EXPECT_FALSE(aws.stopOverride.lit);
  // The brake demands themselves are the handle tables' business: they stay until rebuilt.
  EXPECT_EQ(EmergencyDemands(), 2);
}

TEST_F(BRSafetyTest, startup_test_is_armed_for_modes_1_and_2_and_keeps_low_8_bits) {
  const struct {
    int32_t option;
    StartupTest state;
  } cases[] = {{0, kStartupTestNone},       {1, kStartupTestArmed},       {2, kStartupTestArmed},
               {7, kStartupTestArmed},      {INT_MAX, kStartupTestArmed}, {-1, kStartupTestRefused},
               {-3, kStartupTestRefused},   {INT_MIN, kStartupTestNone},  {-255, kStartupTestArmed},
               {-254, kStartupTestRunning}};
  for (const auto& c : cases) {
    gOpts[OPT_startuptest].value = c.option;
    Restart();
    EXPECT_EQ(aws.tpwsStartupTest, c.state) << c.option;
  }
}

// ---- AWS magnets ----

TEST_F(BRSafetyTest, caution_magnet_sounds_the_horn_and_starts_the_warning_once) {
  At(10000, 80.0f);
  SetPanel(kAwsIndicator, 1);
  SetSound(kAwsBell, SOUND_PLAY);
  Beacon(kBeaconAwsSignalMagnet, 2, 0);
  EXPECT_EQ(GetPanel(kAwsIndicator), 0);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_PLAY);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_STOP);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 10000);
  // A second caution replays the horn but keeps the count running from the first.
  SetSound(kAwsHorn, SOUND_STOP);
  At(11000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 4, 0);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_PLAY);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 10000);
}

TEST_F(BRSafetyTest, indicator_turns_on_with_the_horn_only_when_asked) {
  gOpts[OPT_awsindicatorappear].value = 1;
  At(10000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  gOpts[OPT_awsindicatorappear].value = 2;
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_EQ(GetPanel(kAwsIndicator), 0);
}

TEST_F(BRSafetyTest, clear_magnet_needs_a_clear_aspect_and_more_than_the_minimum_speed) {
  gOpts[OPT_awsminspeed].value = 30;
  // At exactly the minimum speed a clear aspect still counts as a caution.
  At(10000, 30.0f);
  Beacon(kBeaconAwsSignalMagnet, 4, 0);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_PLAY);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 10000);
  // Faster, it is a clear: bell, indicator black, and the pending warning is dropped.
  SetPanel(kAwsIndicator, 1);
  At(10500, 31.0f);
  Beacon(kBeaconAwsSignalMagnet, 4, 0);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_PLAY);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(GetPanel(kAwsIndicator), 0);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  // Aspect 3 is a caution at any speed; the permanent magnet whatever its aspect.
  Beacon(kBeaconAwsSignalMagnet, 3, 0);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 10500);
  aws.awsPhase = kAwsIdle;
  Beacon(kBeaconAwsPermanentMagnet, 9, 0);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 10500);
}

TEST_F(BRSafetyTest, acknowledging_a_pending_warning_shows_black_and_yellow_without_braking) {
  At(10000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  At(12000, 80.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  Frame(20000, 80.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), 0);
}

TEST_F(BRSafetyTest, unacknowledged_warning_brakes_on_first_frame_after_the_delay) {
  At(10000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  Frame(12999, 80.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), 0);
  Frame(13000, 80.0f);
  EXPECT_TRUE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(aws.awsPhase, kAwsBraking);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_PLAY);  // horn and indicator are left as they were
  // Later frames add no second demand.
  Frame(20000, 80.0f);
  EXPECT_EQ(EmergencyDemands(), 1);
}

// The host's clock can read anything; a warning that begins at a time that looks like a stopped
// timer is a warning all the same.
TEST_F(BRSafetyTest, a_warning_begun_at_a_negative_clock_time_still_brakes_after_the_delay) {
  for (const int32_t start : {-2, -1}) {
    Restart();
    At(start, 80.0f);
    Beacon(kBeaconAwsPermanentMagnet, 0, 0);
    Frame(start + 2999, 80.0f);
    EXPECT_FALSE(aws.awsPhase == kAwsBraking) << start;
    Frame(start + 3000, 80.0f);
    EXPECT_TRUE(aws.awsPhase == kAwsBraking) << start;
    EXPECT_EQ(aws.awsPhase, kAwsBraking) << start;
    At(start + 4000, 0.0f);
    BRSafetyKeyPressed(kAckKey);
    EXPECT_EQ(Brake(), 0) << start;
  }
}

TEST_F(BRSafetyTest, awsdelay_is_taken_in_milliseconds_and_a_caution_while_braking_changes_nothing) {
  gOpts[OPT_awsdelay].value = 500;
  At(10000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  Frame(10499, 80.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  Frame(10500, 80.0f);
  EXPECT_TRUE(aws.awsPhase == kAwsBraking);
  At(11000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_EQ(aws.awsPhase, kAwsBraking);
}

TEST_F(BRSafetyTest, brake_cancel_0_releases_only_at_standstill_and_at_once) {
  ApplyAwsBrake(60.0f);
  SetSound(kAwsHorn, SOUND_LOOP);
  SetPanel(kAwsIndicator, 1);
  At(14000, 0.5f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_TRUE(aws.awsPhase == kAwsBraking);
  EXPECT_NE(aws.awsPhase, kAwsReleasing);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_LOOP);
  At(15000, 0.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_EQ(Brake(), 0);
  EXPECT_EQ(GetPanel(kAwsIndicator), 0);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
}

TEST_F(BRSafetyTest, brake_cancel_1_accepts_while_moving_and_releases_at_next_standstill) {
  gOpts[OPT_awsbrakecancel].value = 1;
  ApplyAwsBrake(60.0f);
  SetPanel(kAwsIndicator, 1);
  At(14000, 60.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(aws.awsPhase, kAwsReleasing);
  EXPECT_TRUE(AwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), kEmergency);
  Frame(15000, 10.0f);
  EXPECT_EQ(Brake(), kEmergency);
  Frame(16000, 0.0f);
  EXPECT_EQ(Brake(), 0);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_NE(aws.awsPhase, kAwsReleasing);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_EQ(GetPanel(kAwsIndicator), 0);
  EXPECT_EQ(EmergencyDemands(), 0);
}

TEST_F(BRSafetyTest, other_brake_cancel_values_release_at_once_while_moving) {
  gOpts[OPT_awsbrakecancel].value = 5;
  ApplyAwsBrake(60.0f);
  At(14000, 60.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_NE(aws.awsPhase, kAwsReleasing);
  EXPECT_EQ(Brake(), 0);
}

TEST_F(BRSafetyTest, clear_magnet_leaves_an_applied_aws_brake_releasable) {
  ApplyAwsBrake(60.0f);
  At(14000, 60.0f);
  Beacon(kBeaconAwsSignalMagnet, 4, 0);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_PLAY);
  EXPECT_EQ(aws.awsPhase, kAwsBraking);
  EXPECT_TRUE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), kEmergency);
  // A following caution starts no new warning while the brake is on.
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_EQ(aws.awsPhase, kAwsBraking);
  // The acknowledgement at standstill still takes the brake off.
  At(20000, 0.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), 0);
}

TEST_F(BRSafetyTest, clear_magnet_keeps_a_deferred_release_working) {
  gOpts[OPT_awsbrakecancel].value = 1;
  ApplyAwsBrake(60.0f);
  At(14000, 60.0f);
  BRSafetyKeyPressed(kAckKey);
  Beacon(kBeaconAwsSignalMagnet, 4, 0);
  Frame(15000, 0.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), 0);
  // And a new caution afterwards works from idle again.
  At(16000, 30.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);
  EXPECT_EQ(aws.awsWarningSince, 16000);
}

TEST_F(BRSafetyTest, acknowledge_button_element_follows_the_key_only_when_wired) {
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(GetPanel(kAckButton), 1);
  BRSafetyKeyReleased(kAckKey);
  EXPECT_EQ(GetPanel(kAckButton), 0);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_EQ(GetPanel(kAckButton), 0);
  // Without a list value the button writes nothing (panel element 0 stays as it is).
  gOpts[OPT_awsacknowledgekey].next->value = -1;
  SetPanel(0, 7);
  BRSafetyKeyPressed(kAckKey);
  BRSafetyKeyReleased(kAckKey);
  EXPECT_EQ(GetPanel(0), 7);
}

TEST_F(BRSafetyTest, system_0_ignores_magnets_and_runs_no_supervision) {
  gOpts[OPT_system].value = 0;
  At(10000, 80.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  aws.awsPhase = kAwsWarning;  // even a pending warning never brakes
  aws.awsWarningSince = 10000;
  Frame(20000, 80.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  EXPECT_EQ(Brake(), 0);
}

// ---- TPWS sensors ----

TEST_F(BRSafetyTest, overspeed_sensor_at_signal_acts_only_at_danger_and_strictly_faster) {
  At(20000, 40.0f);
  Beacon(kBeaconSignalOverspeed, 0, 40);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  At(20000, 40.5f);
  Beacon(kBeaconSignalOverspeed, 1, 40);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  Beacon(kBeaconSignalOverspeed, 0, 40);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), kEmergency);
}

TEST_F(BRSafetyTest, train_stop_sensor_at_danger_acts_at_any_speed_from_standstill) {
  At(20000, 0.0f);
  Beacon(kBeaconSignalTrainStop, 1, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  Beacon(kBeaconSignalTrainStop, -3, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.brakeDemand.value, 1);
  EXPECT_EQ(aws.brakeDemand.blinkTimer, 20000);
  EXPECT_TRUE(aws.brakeDemand.lit);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_LOOP);
  EXPECT_EQ(aws.standstill, kStandstillUntimed);
  EXPECT_NE(aws.tpwsPhase, kTpwsReleasing);
}

TEST_F(BRSafetyTest, speed_restriction_sensor_acts_above_its_limit_whatever_the_aspect) {
  At(20000, 60.0f);
  Beacon(kBeaconSpeedRestriction, 4, 60);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  At(20000, 60.25f);
  Beacon(kBeaconSpeedRestriction, 4, 60);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
}

TEST_F(BRSafetyTest, nothing_acts_backwards_or_at_an_unknown_speed_or_twice) {
  At(20000, -50.0f);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  At(20000, std::numeric_limits<float>::quiet_NaN());
  Beacon(kBeaconSignalTrainStop, 0, 0);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  // Negative zero is standing, not running backwards.
  At(20000, -0.0f);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  At(21000, std::numeric_limits<float>::infinity());
  Beacon(kBeaconSpeedRestriction, 0, 10);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_EQ(EmergencyDemands(), 1);
}

TEST_F(BRSafetyTest, aws_only_ignores_tpws_and_train_stop_only_ignores_the_rest) {
  gOpts[OPT_system].value = 1;
  At(20000, 90.0f);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  Beacon(kBeaconSpeedRestriction, 0, 10);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  gOpts[OPT_system].value = 3;
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  Beacon(kBeaconSpeedRestriction, 0, 10);
  Beacon(kBeaconSignalOverspeed, 0, 10);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
}

TEST_F(BRSafetyTest, brake_demand_lamp_flashes_until_reset_then_shows_steady) {
  ApplyTpwsBrake(50.0f);
  Frame(20100, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
  Frame(20500, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 0);
  Frame(21000, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
  Frame(21500, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 0);
  At(21600, 50.0f);
  BRSafetyKeyPressed(kResetKey);
  Frame(21700, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
  Frame(22500, 50.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
}

TEST_F(BRSafetyTest, reset_mode_0_moving_only_steadies_the_lamp) {
  ApplyTpwsBrake(50.0f);
  At(21000, 20.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_EQ(aws.brakeDemand.phase, kLampSteady);
  EXPECT_EQ(aws.brakeDemand.value, 1);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_LOOP);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), kEmergency);
}

TEST_F(BRSafetyTest, reset_mode_0_releases_at_standstill_once_the_stop_delay_has_run) {
  ApplyTpwsBrake(50.0f);
  Frame(30000, 0.0f);  // the standstill timer starts here
  EXPECT_EQ(aws.stopTimer, 30000);
  Frame(60000, 5.0f);  // moving again does not restart it
  Frame(70000, 0.0f);
  EXPECT_EQ(aws.stopTimer, 30000);
  At(89999, 0.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_LOOP);
  At(90000, 0.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), 0);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_STOP);
  Frame(90100, 0.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 0);
}

// Reset at standstill before a frame has timed the standstill: it counts as begun at -1 ms.
// Once the delay has run it is timed from there; a delay of 0 leaves it untimed.
TEST_F(BRSafetyTest, reset_mode_0_before_a_standstill_frame_counts_the_stop_from_the_clock_start) {
  struct Row {
    int32_t delaySeconds;
    int32_t time;
    bool released;
    TpwsStandstill standstill;
  };
  for (Row row : {Row{30, 29998, false, kStandstillUntimed}, Row{30, 29999, true, kStandstillTimed},
                  Row{0, 20000, true, kStandstillUntimed}}) {
    SCOPED_TRACE(row.time);
    Cab(kCab);
    gOpts[OPT_tpwsstopdelay].value = row.delaySeconds;
    ApplyTpwsBrake(50.0f);
    At(row.time, 0.0f);
    BRSafetyKeyPressed(kResetKey);
    EXPECT_EQ(TpwsBrakeApplied(aws), !row.released);
    EXPECT_EQ(Brake() == kEmergency, !row.released);
    EXPECT_EQ(aws.standstill, row.standstill);
  }
}

TEST_F(BRSafetyTest, reset_mode_1_while_moving_releases_after_the_stop_delay_at_standstill) {
  gOpts[OPT_tpwsbrakecancel].value = 1;
  gOpts[OPT_tpwsstopdelay].value = 10;
  ApplyTpwsBrake(50.0f);
  At(21000, 50.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_EQ(aws.tpwsPhase, kTpwsReleasing);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_STOP);
  Frame(25000, 30.0f);
  EXPECT_EQ(Brake(), kEmergency);
  Frame(40000, 0.0f);
  Frame(49999, 0.0f);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  Frame(50000, 0.0f);
  EXPECT_EQ(Brake(), 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_NE(aws.tpwsPhase, kTpwsReleasing);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);  // the lamps are shown before the release of the same frame
  Frame(50050, 0.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 0);
}

TEST_F(BRSafetyTest, other_reset_modes_release_at_once_while_moving) {
  gOpts[OPT_tpwsbrakecancel].value = -4;
  ApplyTpwsBrake(50.0f);
  At(21000, 50.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_NE(aws.tpwsPhase, kTpwsReleasing);
  EXPECT_EQ(Brake(), 0);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_STOP);
}

TEST_F(BRSafetyTest, reset_key_without_a_brake_demand_does_nothing) {
  SetSound(kTpwsWarning, SOUND_LOOP);
  At(1000, 0.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_FALSE(aws.brakeDemand.lit);
  EXPECT_EQ(GetSound(kTpwsWarning), SOUND_LOOP);
}

TEST_F(BRSafetyTest, aws_and_tpws_brakes_hold_and_release_separately) {
  ApplyAwsBrake(50.0f);
  ApplyTpwsBrake(50.0f);
  EXPECT_EQ(EmergencyDemands(), 2);
  At(30000, 0.0f);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(Brake(), kEmergency);  // TPWS still holds
  gOpts[OPT_tpwsbrakecancel].value = 2;
  BRSafetyKeyPressed(kResetKey);
  EXPECT_EQ(Brake(), 0);
}

TEST_F(BRSafetyTest, default_key_0_acknowledges_aws_then_resets_tpws) {
  gOpts[OPT_awsacknowledgekey].value = 0;
  gOpts[OPT_tpwsresetkey].value = 0;
  gOpts[OPT_tpwsbrakecancel].value = 2;
  At(10000, 50.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  ApplyTpwsBrake(50.0f);
  BRSafetyKeyPressed(0);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), 0);
}

// ---- Train-stop override ----

TEST_F(BRSafetyTest, override_button_toggles_and_flashes_its_lamp) {
  At(5000, 30.0f);
  Press(kOverrideKey);
  EXPECT_EQ(aws.overrideTimer, 5000);
  Frame(5100, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 1);
  Frame(5250, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
  Frame(5500, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 1);
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideOff);
  Frame(5600, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
  Frame(5900, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
}

TEST_F(BRSafetyTest, override_is_refused_while_braking_or_during_the_startup_test) {
  ApplyTpwsBrake(30.0f);
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideOff);
  gOpts[OPT_startuptest].value = 1;
  Restart();
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideOff);
  BRSafetyReverserMovedOff();
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideOff);
}

TEST_F(BRSafetyTest, armed_override_passes_one_train_stop_and_ignores_overspeed_sensors) {
  At(5000, 30.0f);
  Press(kOverrideKey);
  Beacon(kBeaconSpeedRestriction, 0, 10);
  Beacon(kBeaconSignalOverspeed, 0, 10);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.overrideTimer, 5000);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.override, kOverrideOff);
  EXPECT_FALSE(aws.stopOverride.lit && aws.stopOverride.value != 0);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
}

TEST_F(BRSafetyTest, train_stop_only_system_acts_at_danger_and_once) {
  gOpts[OPT_system].value = 3;
  At(20000, 30.0f);
  Beacon(kBeaconSignalTrainStop, 1, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_EQ(EmergencyDemands(), 1);
}

TEST_F(BRSafetyTest, train_stop_only_system_consumes_the_override_too) {
  gOpts[OPT_system].value = 3;
  At(5000, 30.0f);
  Press(kOverrideKey);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.override, kOverrideOff);
  Beacon(kBeaconSignalTrainStop, 0, 0);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
}

TEST_F(BRSafetyTest, armed_override_lapses_after_its_lifetime) {
  At(5000, 30.0f);
  Press(kOverrideKey);
  Frame(64999, 30.0f);
  EXPECT_EQ(aws.overrideTimer, 5000);
  Frame(65000, 30.0f);
  EXPECT_EQ(aws.override, kOverrideOff);
  Frame(65300, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
  Frame(65550, 30.0f);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
}

// ---- Start-up test ----

TEST_F(BRSafetyTest, startup_test_1_sounds_the_horn_until_acknowledged_without_the_tpws_lamps) {
  gOpts[OPT_startuptest].value = 1;
  Restart();
  SetPanel(kTpwsLamp3, 7);
  BRSafetyReverserMovedOff();
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_LOOP);
  EXPECT_EQ(aws.tpwsStartupTest, kStartupTestRunning);
  EXPECT_EQ(GetPanel(kTpwsLamp3), 7);
  EXPECT_FALSE(aws.brakeDemand.lit);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_STOP);
  EXPECT_EQ(aws.tpwsStartupTest, kStartupTestNone);
  // A later move of the reverser starts nothing.
  BRSafetyReverserMovedOff();
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
}

TEST_F(BRSafetyTest, startup_test_2_lights_all_tpws_lamps_and_rings_the_bell_at_the_end) {
  gOpts[OPT_startuptest].value = 2;
  Restart();
  At(1000, 0.0f);
  BRSafetyReverserMovedOff();
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_LOOP);
  EXPECT_EQ(GetPanel(kTpwsLamp3), 1);
  Frame(1100, 0.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
  EXPECT_EQ(GetPanel(kOverrideLamp), 1);
  Frame(2000, 0.0f);  // steady, not flashing
  EXPECT_EQ(GetPanel(kTpwsLamp), 1);
  EXPECT_EQ(GetPanel(kOverrideLamp), 1);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(GetSound(kAwsBell), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  EXPECT_EQ(GetPanel(kTpwsLamp3), 0);
  Frame(2100, 0.0f);
  EXPECT_EQ(GetPanel(kTpwsLamp), 0);
  EXPECT_EQ(GetPanel(kOverrideLamp), 0);
  // Once over, the override button works.
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideArmed);
}

TEST_F(BRSafetyTest, startup_test_acknowledgement_does_not_touch_a_pending_warning) {
  gOpts[OPT_startuptest].value = 1;
  Restart();
  BRSafetyReverserMovedOff();
  At(10000, 20.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(aws.tpwsStartupTest, kStartupTestNone);
  EXPECT_EQ(aws.awsPhase, kAwsWarning);  // the second press is needed for the warning
  EXPECT_EQ(aws.awsWarningSince, 10000);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
}

TEST_F(BRSafetyTest, negative_startuptest_runs_no_test_and_refuses_the_override) {
  gOpts[OPT_startuptest].value = -1;
  Restart();
  BRSafetyReverserMovedOff();
  EXPECT_EQ(GetSound(kAwsHorn), SOUND_STOP);
  At(10000, 20.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  BRSafetyKeyPressed(kAckKey);
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_EQ(GetPanel(kAwsIndicator), 1);
  Press(kOverrideKey);
  EXPECT_EQ(aws.override, kOverrideOff);
}

// ---- Absurd option values and times ----

TEST_F(BRSafetyTest, huge_stop_delay_and_lifetime_saturate_instead_of_wrapping) {
  // 3e9 ms would wrap to a negative period and fire at once.
  gOpts[OPT_tpwsstopdelay].value = 3000000;
  gOpts[OPT_tpwsoverridelifetime].value = INT_MAX;
  gOpts[OPT_tpwsbrakecancel].value = 1;
  ApplyTpwsBrake(0.0f);
  BRSafetyKeyPressed(kResetKey);
  for (int32_t t = 20000; t < 2000000; t += 250000) Frame(t, 0.0f);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  EXPECT_EQ(Brake(), kEmergency);
  gOpts[OPT_tpwsbrakecancel].value = 0;
  At(2000000, 0.0f);
  BRSafetyKeyPressed(kResetKey);
  EXPECT_TRUE(TpwsBrakeApplied(aws));

  Restart();
  At(1000, 0.0f);
  Press(kOverrideKey);
  for (int32_t t = 20000; t < 2000000; t += 250000) Frame(t, 0.0f);
  EXPECT_EQ(aws.overrideTimer, 1000);
}

TEST_F(BRSafetyTest, clock_wrapping_past_its_end_keeps_the_delays) {
  gOpts[OPT_awsdelay].value = 3000;
  At(INT32_MAX - 1000, 50.0f);
  Beacon(kBeaconAwsPermanentMagnet, 0, 0);
  Frame(INT32_MAX, 50.0f);
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  Frame(INT32_MIN + 1998, 50.0f);  // 2999 ms after the magnet
  EXPECT_FALSE(aws.awsPhase == kAwsBraking);
  Frame(INT32_MIN + 1999, 50.0f);
  EXPECT_TRUE(aws.awsPhase == kAwsBraking);
}

TEST_F(BRSafetyTest, huge_brake_notch_count_and_beacon_limits_are_harmless) {
  gTrainspecs.BrakeNotches = INT_MAX;  // no emergency notch can exist past the top
  At(1000, 50.0f);
  Beacon(kBeaconSpeedRestriction, 0, INT_MIN);
  Beacon(kBeaconSignalOverspeed, INT_MIN, INT_MAX);
  EXPECT_TRUE(TpwsBrakeApplied(aws));
  gOpts[OPT_tpwsbrakecancel].value = 2;
  BRSafetyKeyPressed(kResetKey);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  gTrainspecs.BrakeNotches = kBrakeNotches;
  EXPECT_EQ(EmergencyDemands(), 0);
}

}  // namespace
