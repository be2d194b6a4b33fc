#include <gtest/gtest.h>

#include <climits>
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
#include "protection/de_safety.h"
#include "test_files.h"
#include "protection/de_safety_record.h"

namespace {

DESafetyRecord& pzb = DESafetyForTesting();

// Wiring of the cab used by these tests.
const int kBlue = 60;    // blinking 400 ms
const int kYellow = 61;
const int kRed = 62;
const int kPzbSound = 63;
const int kPzbKey = 40;
const int kBrakeNotches = 7;
const int kEmergency = kBrakeNotches + 1;

const char kCab[] =
    "pzb90=1\n"
    "pzb90bluelamp=60,400\n"
    "pzb90yellowlamp=61\n"
    "pzb90redlamp=62\n"
    "pzb90key=40\n"
    "pzb90sound=63\n";

class PZB90Test : public ::testing::Test {
 protected:
  void SetUp() override {
    Load();
    ASSERT_EQ(LoadConfigText(kCab), 1);
    gTrainspecs = {kBrakeNotches, 4, 0, 0, 1};
    gState = {};
    DestroyHandles();
    InitHandles();
    At(1000, 0.0f);
    InitDESafety(0);
  }
  void TearDown() override {
    DestroyHandles();
    ScrapConfig();
  }

  void At(int32_t time, float speed) {
    gState.Time = time;
    gState.Speed = speed;
  }
  void Frame(int32_t time, float speed) {
    At(time, speed);
    DESafety();
  }
  void Magnet(int type, int signal, int optional) { SetDESafetyStatus({type, signal, 0.0f, optional}); }
  void SwitchOn() {
    DESafetyKeyPressed(kPzbKey);
    ASSERT_TRUE(pzb.active);
  }
  int Brake() const { return gHandles.Brake; }
  int EmergencyDemands() const { return BrakeDemandTableMade() ? BrakeDemandCount(kEmergency) : -999; }
  bool BlueSteady() const { return pzb.bluelamp.value == 1 && pzb.bluelamp.phase == kLampSteady && pzb.bluelamp.lit; }
  bool BlueFlashing() const { return pzb.bluelamp.value == 1 && pzb.bluelamp.phase == kLampBlinking && pzb.bluelamp.blinkTimer == gState.Time && pzb.bluelamp.lit; }
};

TEST_F(PZB90Test, start_of_run_is_off_with_the_blue_lamp_flashing_and_all_else_dark) {
  pzb.active = pzb.emergency = true;
  pzb.window = kPzbWindowOpen;
  pzb.pzb90timer = 5;
  SetPanel(kYellow, 1);
  SetPanel(kRed, 1);
  SetSound(kPzbSound, SOUND_LOOP);
  At(7000, 0.0f);
  InitDESafety(0);
  EXPECT_FALSE(pzb.active);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  EXPECT_EQ(pzb.bluelamp.option, OPT_pzb90bluelamp);
  EXPECT_TRUE(BlueFlashing());
  EXPECT_EQ(GetPanel(kYellow), 0);
  EXPECT_EQ(GetPanel(kRed), 0);
  EXPECT_EQ(GetSound(kPzbSound), SOUND_STOP);
  // The flashing shows once frames run.
  Frame(7100, 0.0f);
  EXPECT_EQ(GetPanel(kBlue), 1);
  Frame(7400, 0.0f);
  EXPECT_EQ(GetPanel(kBlue), 0);
  Frame(7800, 0.0f);
  EXPECT_EQ(GetPanel(kBlue), 1);
}

TEST_F(PZB90Test, switched_off_system_brakes_above_45_in_either_direction) {
  Frame(2000, 45.0f);
  Frame(2050, -45.0f);
  EXPECT_FALSE(pzb.emergency);
  Frame(2100, -45.5f);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_EQ(GetPanel(kRed), 1);
  EXPECT_EQ(GetSound(kPzbSound), SOUND_LOOP);
  EXPECT_TRUE(BlueFlashing());
}

TEST_F(PZB90Test, switched_on_system_has_no_45_limit) {
  SwitchOn();
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetSound(kPzbSound), SOUND_PLAY);
  Frame(2000, 120.0f);
  EXPECT_FALSE(pzb.emergency);
}

TEST_F(PZB90Test, frame_routine_works_only_with_pzb90_set_to_1) {
  for (int value : {0, 2, -1}) {
    gOpts[OPT_pzb90].value = value;
    pzb.window = kPzbWindowOpen;
    pzb.pzb90timer = 1000;
    Frame(9000, 100.0f);
    EXPECT_FALSE(pzb.emergency) << value;
  }
}

TEST_F(PZB90Test, emergency_holds_one_brake_demand_however_often_triggered) {
  At(2000, 50.0f);
  PZB90Emergency();
  PZB90Emergency();
  Magnet(kBeaconPzbSignalMagnet, 0, 0);
  Frame(2100, 50.0f);
  EXPECT_EQ(EmergencyDemands(), 1);
}

TEST_F(PZB90Test, stop_aspect_brakes_even_at_standstill_and_opens_the_window) {
  At(3000, 0.0f);
  Magnet(kBeaconPzbSignalMagnet, 0, 0);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_TRUE(BlueSteady());  // set after the emergency made it flash
  EXPECT_EQ(GetPanel(kYellow), 0);
  EXPECT_EQ(pzb.pzb90timer, 3000);
}

TEST_F(PZB90Test, restrictive_aspects_check_25_40_and_60_strictly) {
  SwitchOn();
  const struct {
    int aspect;
    float limit;
  } cases[] = {{1, 25.0f}, {2, 40.0f}, {3, 60.0f}};
  for (const auto& c : cases) {
    At(3000, c.limit);
    Magnet(kBeaconPzbSignalMagnet, c.aspect, 0);
    EXPECT_FALSE(pzb.emergency) << c.aspect;
    EXPECT_EQ(pzb.pzb90timer, 3000);
    At(3000, c.limit + 0.1f);
    Magnet(kBeaconPzbSignalMagnet, c.aspect, 0);
    EXPECT_TRUE(pzb.emergency) << c.aspect;
    pzb.emergency = false;
    OperateBrake(kEmergency, false);
  }
}

TEST_F(PZB90Test, clear_aspect_checks_nothing_and_opens_no_window) {
  SwitchOn();
  SetPanel(kYellow, 1);
  At(3000, 250.0f);
  Magnet(kBeaconPzbSignalMagnet, 4, 0);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetPanel(kYellow), 0);
  // Aspects outside 0..4 check nothing but still open the window.
  Magnet(kBeaconPzbSignalMagnet, 9, 0);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.pzb90timer, 3000);
}

TEST_F(PZB90Test, magnet_limit_45_checks_speed_without_a_window) {
  SwitchOn();
  SetSound(kPzbSound, SOUND_STOP);
  At(3000, 45.0f);
  Magnet(kBeaconPzbSignalMagnet, 2, 45);
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetPanel(kYellow), 0);
  EXPECT_EQ(GetSound(kPzbSound), SOUND_PLAY);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  At(3000, 45.5f);
  Magnet(kBeaconPzbSignalMagnet, 2, 45);
  EXPECT_TRUE(pzb.emergency);
}

TEST_F(PZB90Test, other_magnet_limits_flash_yellow_and_open_the_window) {
  SwitchOn();
  At(3000, 70.0f);
  Magnet(kBeaconPzbSignalMagnet, 1, 70);
  EXPECT_TRUE(BlueFlashing());
  EXPECT_EQ(GetPanel(kYellow), 1);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.pzb90timer, 3000);
  At(3000, -70.5f);
  Magnet(kBeaconPzbSignalMagnet, 1, 70);
  EXPECT_TRUE(pzb.emergency);
}

TEST_F(PZB90Test, magnet_limit_at_a_clear_aspect_only_steadies_the_lamps) {
  SwitchOn();
  SetPanel(kYellow, 1);
  SetSound(kPzbSound, SOUND_STOP);
  At(3000, 200.0f);
  Magnet(kBeaconPzbSignalMagnet, 4, 30);
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetPanel(kYellow), 0);
  EXPECT_EQ(GetSound(kPzbSound), SOUND_STOP);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
}

TEST_F(PZB90Test, warning_magnet_only_lights_and_sounds) {
  SwitchOn();
  SetSound(kPzbSound, SOUND_STOP);
  At(3000, 300.0f);
  Magnet(kBeaconPzbWarningMagnet, 0, 0);
  EXPECT_TRUE(BlueFlashing());
  EXPECT_EQ(GetPanel(kYellow), 1);
  EXPECT_EQ(GetSound(kPzbSound), SOUND_PLAY);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
}

TEST_F(PZB90Test, speed_check_magnet_brakes_above_a_positive_limit_only) {
  SwitchOn();
  SetPanel(kYellow, 1);
  At(3000, 300.0f);
  Magnet(kBeaconPzbWarningMagnet, 0, -20);
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetPanel(kYellow), 0);
  EXPECT_FALSE(pzb.emergency);
  At(3000, 60.0f);
  Magnet(kBeaconPzbWarningMagnet, 0, 60);
  EXPECT_FALSE(pzb.emergency);
  At(3000, 60.5f);
  Magnet(kBeaconPzbWarningMagnet, 0, 60);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
}

TEST_F(PZB90Test, other_beacon_types_are_ignored) {
  SwitchOn();
  At(3000, 300.0f);
  for (int type : {48999, 49002, 44003, 0, -49000}) Magnet(type, 0, 0);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  EXPECT_TRUE(BlueSteady());
}

TEST_F(PZB90Test, acknowledged_window_does_not_brake) {
  SwitchOn();
  At(3000, 20.0f);
  Magnet(kBeaconPzbSignalMagnet, 1, 0);
  Frame(5999, 20.0f);
  DESafetyKeyPressed(kPzbKey);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  Frame(20000, 20.0f);
  EXPECT_FALSE(pzb.emergency);
}

TEST_F(PZB90Test, missed_window_brakes_on_first_frame_after_3000_ms) {
  SwitchOn();
  At(3000, 20.0f);
  Magnet(kBeaconPzbSignalMagnet, 1, 0);
  Frame(5999, 20.0f);
  EXPECT_FALSE(pzb.emergency);
  Frame(6000, 20.0f);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_EQ(pzb.window, kPzbWindowOpen);  // keeps running until the key closes it
  Frame(9000, 20.0f);
  EXPECT_EQ(EmergencyDemands(), 1);
}

TEST_F(PZB90Test, missed_window_brakes_3000_ms_after_opening_at_any_clock_time) {
  for (int32_t opened : {-1, 0, 3000}) {
    SetUp();
    SwitchOn();
    At(opened, 20.0f);
    Magnet(kBeaconPzbSignalMagnet, 1, 0);
    Frame(opened + 1, 20.0f);  // a window opened at 0 is armed by its first frame
    Frame(opened + 2999, 20.0f);
    EXPECT_FALSE(pzb.emergency) << opened;
    Frame(opened + 3001, 20.0f);
    EXPECT_TRUE(pzb.emergency) << opened;
  }
}

TEST_F(PZB90Test, key_while_moving_only_acknowledges_and_switches_on) {
  At(3000, 50.0f);
  Magnet(kBeaconPzbSignalMagnet, 0, 0);
  ASSERT_TRUE(pzb.emergency);
  At(3500, 0.1f);
  DESafetyKeyPressed(kPzbKey);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(Brake(), kEmergency);
  EXPECT_EQ(GetPanel(kRed), 1);
  EXPECT_TRUE(pzb.active);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
}

TEST_F(PZB90Test, key_at_standstill_releases_the_emergency_without_switching_on) {
  At(3000, 50.0f);
  PZB90Emergency();
  At(8000, 0.0f);
  pzb.window = kPzbWindowOpen;
  pzb.pzb90timer = 7000;
  DESafetyKeyPressed(kPzbKey);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(Brake(), 0);
  EXPECT_EQ(GetPanel(kRed), 0);
  EXPECT_TRUE(BlueSteady());
  EXPECT_EQ(GetSound(kPzbSound), SOUND_STOP);
  EXPECT_EQ(pzb.window, kPzbWindowClosed);
  EXPECT_FALSE(pzb.active);  // the release is all that press did
}

TEST_F(PZB90Test, other_keys_are_ignored) {
  At(3000, 0.0f);
  PZB90Emergency();
  for (int key : {0, 39, 41, -1, INT_MAX}) DESafetyKeyPressed(key);
  EXPECT_TRUE(pzb.emergency);
  EXPECT_FALSE(pzb.active);
}

TEST_F(PZB90Test, unknown_or_infinite_speeds_and_absurd_limits_are_harmless) {
  SwitchOn();
  At(3000, std::numeric_limits<float>::quiet_NaN());
  Magnet(kBeaconPzbSignalMagnet, 2, INT_MAX);
  Magnet(kBeaconPzbWarningMagnet, 0, INT_MIN);
  Frame(3100, std::numeric_limits<float>::quiet_NaN());
  EXPECT_FALSE(pzb.emergency);  // an unknown speed is never above a limit
  DESafetyKeyPressed(kPzbKey);
  At(3200, -std::numeric_limits<float>::infinity());
  Magnet(kBeaconPzbSignalMagnet, 2, INT_MAX);
  EXPECT_TRUE(pzb.emergency);
  gTrainspecs.BrakeNotches = INT_MAX;  // an emergency notch past every table is ignored
  pzb.emergency = false;
  PZB90Emergency();
  EXPECT_TRUE(pzb.emergency);
  EXPECT_EQ(EmergencyDemands(), 1);
}

TEST_F(PZB90Test, window_survives_the_clock_wrapping) {
  SwitchOn();
  At(INT32_MAX - 1000, 20.0f);
  Magnet(kBeaconPzbSignalMagnet, 1, 0);
  Frame(INT32_MIN + 1998, 20.0f);
  EXPECT_FALSE(pzb.emergency);
  Frame(INT32_MIN + 1999, 20.0f);
  EXPECT_TRUE(pzb.emergency);
}

}  // namespace
