// The master controller's positions and keys, the speed limit, and the Sifa dead-man device.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "ubahn_cab_setup.h"

const int kSoundClick = 5;
const int kSoundTripValve = 7;
const int kSoundFilling = 8;
const int kSoundWarning = 78;

// ---- Transitions ----

struct Transition {
  int from;
  int key;
  int to;
};

void PrintTo(const Transition& case_, std::ostream* out) {
  *out << "position " << case_.from << " key " << case_.key << " to " << case_.to;
}

class MasterControllerTransitions : public ::testing::TestWithParam<Transition> {};

TEST_P(MasterControllerTransitions, follow_the_key_table) {
  Transition t = GetParam();
  StartCab();
  TestCab().master.fahrschalter = t.from;
  FahrschalterAuf(TestCab(), t.key);
  FahrschalterAb(TestCab(), t.key);
  FahrschalterNull(TestCab(), t.key);
  EXPECT_EQ(TestCab().master.fahrschalter, t.to);
  if (t.to != t.from) {
    EXPECT_EQ(GetPanel(kPanelPosition), t.to);
    EXPECT_EQ(GetSound(kSoundClick), SOUND_PLAY);
  } else {
    EXPECT_EQ(GetSound(kSoundClick), SOUND_STOP);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryPositionAndKey, MasterControllerTransitions,
    ::testing::Values(Transition{0, 5, 1}, Transition{0, 6, 0}, Transition{0, 7, 2},
                      Transition{1, 5, 1}, Transition{1, 6, 0}, Transition{1, 7, 2},
                      Transition{2, 5, 3}, Transition{2, 6, 1}, Transition{2, 7, 2},
                      Transition{3, 5, 4}, Transition{3, 6, 3}, Transition{3, 7, 2},
                      Transition{4, 5, 5}, Transition{4, 6, 3}, Transition{4, 7, 2},
                      Transition{5, 5, 6}, Transition{5, 6, 4}, Transition{6, 5, 7},
                      Transition{6, 6, 5}, Transition{7, 5, 7}, Transition{7, 6, 6},
                      Transition{7, 7, 2}, Transition{4, 2, 4}, Transition{4, INT_MAX, 4},
                      Transition{4, INT_MIN, 4}));

TEST(MasterController, leaving_neutral_forward_chooses_forward_and_starts_the_fan) {
  StartCab();
  gState.Time = 4321;
  FahrschalterAuf(TestCab(), 5);
  EXPECT_EQ(TestCab().master.richtung, kRichtungVorwaerts);
  EXPECT_NE(TestCab().master.richtung, kRichtungNeutral);
  EXPECT_NE(TestCab().master.richtung, kRichtungRueckwaerts);
  EXPECT_EQ(GetSound(kSoundFanStart), SOUND_PLAY);
  EXPECT_EQ(TestCab().hornFan.lueftertimer, 4321);
  EXPECT_EQ(TestCab().hornFan.lueftersummertimer1, 4321);
  EXPECT_EQ(TestCab().hornFan.lueftersummertimer2, 4321);
  EXPECT_EQ(TestCab().hornFan.summer, kBuzzerWaiting);
  EXPECT_EQ(TestCab().master.VMax, 15);
}

TEST(MasterController, leaving_neutral_backward_chooses_reverse_and_starts_the_fan) {
  StartCab();
  gState.Time = 777;
  FahrschalterAb(TestCab(), 6);
  EXPECT_EQ(TestCab().master.richtung, kRichtungRueckwaerts);
  EXPECT_NE(TestCab().master.richtung, kRichtungNeutral);
  EXPECT_EQ(GetSound(kSoundFanStart), SOUND_PLAY);
  EXPECT_EQ(TestCab().hornFan.lueftertimer, 777);
  EXPECT_EQ(TestCab().hornFan.summer, kBuzzerWaiting);
  EXPECT_EQ(TestCab().master.VMax, 15);
  FahrschalterAb(TestCab(), 6);
  EXPECT_EQ(TestCab().master.VMax, 25);
}

TEST(MasterController, moving_between_driving_steps_does_not_restart_the_fan) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().hornFan.summer = kBuzzerOver;
  FahrschalterAuf(TestCab(), 5);
  EXPECT_EQ(TestCab().hornFan.summer, kBuzzerOver);
  EXPECT_EQ(GetSound(kSoundFanStart), SOUND_STOP);
}

TEST(MasterController, speed_limit_per_position_is_refreshed_by_any_key) {
  const int expected[8] = {25, 15, -1, 15, 25, 50, 60, 70};
  for (int position = 0; position < 8; position++) {
    if (position == 2) continue;
    StartCab();
    TestCab().master.fahrschalter = position;
    TestCab().master.VMax = 0;
    FahrschalterAuf(TestCab(), 2);  // the horn key
    EXPECT_EQ(TestCab().master.VMax, expected[position]) << position;
    TestCab().master.VMax = 0;
    FahrschalterAb(TestCab(), INT_MIN);
    EXPECT_EQ(TestCab().master.VMax, expected[position]) << position;
  }
}

TEST(MasterController, neutral_keeps_the_speed_limit_of_the_position_left) {
  StartCab();
  TestCab().master.fahrschalter = 5;
  FahrschalterAuf(TestCab(), 9);
  FahrschalterNull(TestCab(), 7);
  FahrschalterAuf(TestCab(), 7);
  FahrschalterAb(TestCab(), 7);
  EXPECT_EQ(TestCab().master.fahrschalter, 2);
  EXPECT_EQ(TestCab().master.VMax, 50);
}

TEST(MasterController, every_key_withdraws_one_emergency_demand) {
  StartCab();
  for (int key : {2, 9, 40}) FahrschalterAuf(TestCab(), key);
  EXPECT_EQ(BrakeCount(9), -3);
  OperateBrake(9, true);  // another system's emergency demand is then not in force
  EXPECT_EQ(BrakeCount(9), -2);
  EXPECT_EQ(gHandles.Brake, 0);
}

TEST(MasterController, down_key_withdraws_no_emergency_demand) {
  StartCab();
  OperateBrake(9, true);
  FahrschalterAb(TestCab(), 6);
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(gHandles.Brake, 9);
}

TEST(MasterController, key_7_in_neutral_writes_and_plays_nothing) {
  StartCab();
  SetPanel(kPanelPosition, 99);
  SetPanel(kPanelBuzzer, 99);
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(GetPanel(kPanelPosition), 99);
  EXPECT_EQ(GetPanel(kPanelBuzzer), 99);
  EXPECT_EQ(GetSound(kSoundClick), SOUND_STOP);
  EXPECT_EQ(GetSound(kSoundFanRunDown), SOUND_STOP);
}

TEST(MasterController, key_7_stops_fan_buzzer_and_warning_and_ends_forced_braking) {
  StartCab();
  TestCab().master.fahrschalter = 4;
  TestCab().master.richtung = kRichtungVorwaerts;
  TestCab().master.SifaBremst = true;
  SetPanel(kPanelBuzzer, 1);
  for (int s : {9, 10, 12, 78}) SetSound(s, SOUND_LOOP);
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(TestCab().master.richtung, kRichtungNeutral);
  EXPECT_NE(TestCab().master.richtung, kRichtungVorwaerts);
  EXPECT_FALSE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetPanel(kPanelPosition), 2);
  EXPECT_EQ(GetPanel(kPanelBuzzer), 0);
  for (int s : {9, 10, 12, 78}) EXPECT_EQ(GetSound(s), SOUND_STOP) << s;
  EXPECT_EQ(GetSound(kSoundFanRunDown), SOUND_PLAY);
  EXPECT_EQ(GetSound(kSoundClick), SOUND_PLAY);
}

TEST(MasterController, neutral_throw_trips_the_trip_stop_only_above_7_kmh) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  gState.Speed = 7.0f;
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(GetSound(kSoundTripValve), SOUND_STOP);

  TestCab().master.fahrschalter = 3;
  gState.Speed = -7.5f;
  SetPanel(kPanelTripStop, 1);
  FahrschalterNull(TestCab(), 7);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreAusgeloest);
  EXPECT_EQ(GetPanel(kPanelTripStop), 0);
  EXPECT_EQ(GetSound(kSoundTripValve), SOUND_PLAY);
}

TEST(MasterController, neutral_throw_at_a_speed_that_is_not_a_number_leaves_the_trip_stop) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  gState.Speed = std::numeric_limits<float>::quiet_NaN();
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(TestCab().master.fahrschalter, 2);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
}

// ---- Sifa key ----

TEST(SifaKey, press_and_release_sound_once_and_show_the_lamp) {
  StartCab();
  SifaKeyPressed(TestCab(), kSifaKey);
  EXPECT_TRUE(TestCab().master.SifaKey);
  EXPECT_TRUE(TestCab().master.sifaAn);
  EXPECT_EQ(GetSound(kSoundSifa), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kPanelSifa), 1);
  Load();
  SifaKeyPressed(TestCab(), kSifaKey);  // key repeat
  EXPECT_EQ(GetSound(kSoundSifa), SOUND_STOP);
  SifaKeyReleased(TestCab(), kSifaKey);
  EXPECT_FALSE(TestCab().master.SifaKey);
  EXPECT_FALSE(TestCab().master.sifaAn);
  EXPECT_EQ(GetSound(kSoundSifa), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kPanelSifa), 0);
  SifaKeyPressed(TestCab(), kSifaKey + 1);
  EXPECT_FALSE(TestCab().master.SifaKey);
}

TEST(SifaKey, an_unset_key_number_matches_no_key) {
  StartCab();
  gOpts[OPT_sifakey].value = -1;
  SifaKeyPressed(TestCab(), -1);
  EXPECT_FALSE(TestCab().master.SifaKey);
  EXPECT_FALSE(TestCab().master.sifaAn);
  EXPECT_EQ(GetSound(kSoundSifa), SOUND_STOP);
  EXPECT_EQ(GetPanel(kPanelSifa), 0);
  TestCab().master.SifaKey = true;
  TestCab().master.sifaAn = true;
  SifaKeyReleased(TestCab(), -1);
  EXPECT_TRUE(TestCab().master.SifaKey);
  EXPECT_TRUE(TestCab().master.sifaAn);
  EXPECT_EQ(GetSound(kSoundSifa), SOUND_STOP);
}

TEST(SifaKey, shows_drive_with_sifa_only_while_the_drive_button_is_held) {
  StartCab();
  SifaKeyPressed(TestCab(), kSifaKey);
  EXPECT_EQ(GetPanel(kPanelDriveWithSifa), 0);
  TestCab().control.speedSelectorKey = true;
  SifaKeyPressed(TestCab(), kSifaKey);
  EXPECT_EQ(GetPanel(kPanelDriveWithSifa), 1);
  SetPanel(kPanelDriveWithoutSifa, 7);
  SifaKeyReleased(TestCab(), kSifaKey);
  EXPECT_EQ(GetPanel(kPanelDriveWithSifa), 0);
  EXPECT_EQ(GetPanel(kPanelDriveWithoutSifa), 7);  // not the Sifa key's to write
}

// The host may report a release whose press it never reported (a key held through a restart):
// the Sifa key, the drive button and the holding-brake button then stay silent.
TEST(CabButtons, a_release_without_its_press_makes_no_sound) {
  for (int key : {kSifaKey, kDriveButton, 13}) {
    SCOPED_TRACE(key);
    StartCab();
    gOpts[OPT_speedselectorkey].value = kDriveButton;
    gOpts[OPT_fahrtastersound].value = kSoundDriveButton;
    TestCab().brake.bremsschalter = 6;  // where the holding-brake button works
    SetPanel(kPanelSifa, 7);
    KeyUp(key);
    for (int element = 0; element < kElementCount; element++) ASSERT_EQ(GetSound(element), SOUND_STOP) << element;
    EXPECT_EQ(GetPanel(kPanelSifa), 7);
  }
}

// ---- Forced braking ----

TEST(SifaForcedBraking, starts_in_the_first_frame_without_the_key_while_moving) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsleitungsdruck = 500.0;
  gState.Speed = 30.0f;
  SifaFestbremsen(TestCab());
  EXPECT_TRUE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundWarning), SOUND_PLAY);
  Load();
  SifaFestbremsen(TestCab());  // the warning is not repeated
  EXPECT_EQ(GetSound(kSoundWarning), SOUND_STOP);
}

TEST(SifaForcedBraking, starts_without_warning_when_the_pipe_is_already_low) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsleitungsdruck = 180.0;
  gState.Speed = 30.0f;
  SifaFestbremsen(TestCab());
  EXPECT_TRUE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundWarning), SOUND_STOP);
}

TEST(SifaForcedBraking, at_rest_the_holding_brake_position_with_low_pipe_spares_it) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsschalter = 6;
  TestCab().brake.bremsleitungsdruck = 440.0;
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
  TestCab().brake.bremsleitungsdruck = 450.0;
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
  TestCab().brake.bremsleitungsdruck = 460.0;
  SifaFestbremsen(TestCab());
  EXPECT_TRUE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundWarning), SOUND_PLAY);
}

TEST(SifaForcedBraking, at_rest_any_other_brake_position_starts_it) {
  StartCab();
  TestCab().master.fahrschalter = 1;
  TestCab().brake.bremsschalter = 5;
  TestCab().brake.bremsleitungsdruck = 300.0;
  SifaFestbremsen(TestCab());
  EXPECT_TRUE(TestCab().master.SifaBremst);
}

TEST(SifaForcedBraking, nothing_is_supervised_in_neutral) {
  StartCab();
  gState.Speed = 50.0f;
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
}

TEST(SifaForcedBraking, a_speed_that_is_not_a_number_counts_as_moving) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsschalter = 6;
  TestCab().brake.bremsleitungsdruck = 440.0;
  gState.Speed = std::numeric_limits<float>::quiet_NaN();
  SifaFestbremsen(TestCab());
  EXPECT_TRUE(TestCab().master.SifaBremst);
}

TEST(SifaForcedBraking, ends_when_the_key_is_held_again_refilling_in_position_2) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsschalter = 2;
  TestCab().brake.bremsleitungsdruck = 300.0;
  gState.Speed = 10.0f;
  SifaFestbremsen(TestCab());
  ASSERT_TRUE(TestCab().master.SifaBremst);
  OperateBrake(9, true);  // the emergency demand of another system, withdrawn on release
  SifaKeyPressed(TestCab(), kSifaKey);
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundWarning), SOUND_STOP);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_PLAY);
  EXPECT_EQ(BrakeCount(9), 0);
}

TEST(SifaForcedBraking, release_in_position_2_with_a_charged_pipe_plays_no_filling) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsschalter = 2;
  TestCab().brake.bremsleitungsdruck = 495.0;
  TestCab().master.SifaBremst = true;
  SifaKeyPressed(TestCab(), kSifaKey);
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_STOP);
}

TEST(SifaForcedBraking, release_away_from_position_2_plays_no_filling) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().brake.bremsschalter = 1;
  TestCab().brake.bremsleitungsdruck = 300.0;
  TestCab().master.SifaBremst = true;
  SifaKeyPressed(TestCab(), kSifaKey);
  SifaFestbremsen(TestCab());
  EXPECT_FALSE(TestCab().master.SifaBremst);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_STOP);
}
