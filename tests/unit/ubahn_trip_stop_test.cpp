#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "ubahn_equipment_setup.h"

namespace {

const int kKeyTripStop = 0;

class TripStop : public ::testing::Test {
 protected:
  CounterFolder counters;
  void SetUp() override {
    StartEquipment();
    TestCab().master.fahrschalter = 3;  // forward taken
    At(1000, 0.0f);
  }
  void Pass(int type, int signal, int optional, float speed) {
    gState.Speed = speed;
    Fahrsperre(TestCab(), ATS_BEACONDATA{type, signal, 0.0f, optional});
  }
  bool Played(int element) {
    bool played = gSound[element] == SOUND_PLAY;
    gSound[element] = SOUND_STOP;
    return played;
  }
  std::string CounterFile(const char* name) { return ReadBytes(counters.File(name)); }
};

TEST_F(TripStop, stop_aspect_at_speed_trips_with_the_warning_and_vents_the_pipe) {
  Pass(44002, 0, 0, 30.0f);
  EXPECT_TRUE(Played(78));
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreAusgeloest);
  EXPECT_EQ(gPanel[kPanelTripLamp], 0);
  // The pipe is vented 30 kPa per step while tripped.
  TestCab().brake.bremsschalter = 1;
  TestCab().brake.bremsleitungsdruck = TestCab().brake.druck_hilfsvariable = 500.0;
  TestCab().brake.luftbremstimer2 = 1000;
  At(1050, 30.0f);
  bremsleitung(TestCab());
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 470.0);
}

TEST_F(TripStop, creeping_past_with_the_button_held_overrides_and_counts) {
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  Pass(44003, 0, 0, 5.0f);
  EXPECT_EQ(gSound[78], SOUND_STOP);  // played and stopped in the same call
  EXPECT_TRUE(Played(27));
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreAusgeloest);
  EXPECT_EQ(gPanel[kPanelTripLamp], 1);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk2, 1);
  EXPECT_EQ(CounterFile("Z2.dat"), "1");
  Pass(44003, 0, 0, 5.0f);
  EXPECT_EQ(CounterFile("Z2.dat"), "2");
}

TEST_F(TripStop, button_held_at_7_kmh_does_not_override) {
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  Pass(44002, 0, 0, 7.0f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_FALSE(Played(27));
  EXPECT_EQ(TestCab().tripStop.zaehlwerk2, 0);
}

TEST_F(TripStop, speed_check_trips_only_strictly_above_the_checked_speed) {
  Pass(44002, 1, 40, 40.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Pass(44002, 2, 0, 120.0f);  // a check of 0 is no check
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Pass(44002, 1, 40, 45.0f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_TRUE(Played(78));
}

TEST_F(TripStop, other_aspects_trip_only_with_the_master_controller_in_neutral_while_moving) {
  Pass(44002, 5, 0, 50.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  TestCab().master.fahrschalter = 2;
  Pass(44002, 5, 0, 0.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Pass(44002, 5, 0, 0.5f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
}

TEST_F(TripStop, stop_aspect_passed_backward_trips_with_the_warning) {
  Pass(44002, 0, 0, -3.0f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_TRUE(Played(78));
}

TEST_F(TripStop, a_trip_while_tripped_is_silent_but_can_still_be_overridden) {
  Pass(44002, 0, 0, 20.0f);
  Played(78);
  Pass(44002, 0, 0, 20.0f);
  EXPECT_FALSE(Played(78));
  gState.Speed = 3.0f;
  TestCab().tripStop.fahrsperre_taster = kTasterGedrueckt;  // held since before, when it was still too fast to reset
  Pass(44002, 0, 0, 3.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_TRUE(Played(27));
  EXPECT_EQ(TestCab().tripStop.zaehlwerk2, 1);
}

TEST_F(TripStop, emergency_trip_point_trips_forward_traffic_above_its_speed_only) {
  Pass(44004, 0, 0, -20.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Pass(44004, 0, 30, 30.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Fahrsperre_druecken(TestCab(), kKeyTripStop);  // no override at this kind of trip point
  Pass(44004, 0, 0, 2.0f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_TRUE(Played(7));
  EXPECT_EQ(TestCab().tripStop.zaehlwerk2, 0);
}

TEST_F(TripStop, other_beacon_types_are_ignored) {
  for (int type : {0, 23, 44000, 44001, 44005, INT_MIN, INT_MAX}) Pass(type, 0, 0, 50.0f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
}

TEST_F(TripStop, absurd_beacon_values_and_speeds_do_no_harm) {
  Pass(44002, 1, INT_MIN, 10.0f);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);  // any speed is above a check of INT_MIN
  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  Pass(44004, INT_MAX, INT_MAX, 1.0e9f);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Pass(44004, 0, 0, std::numeric_limits<float>::infinity());
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  // A speed that is not a number is above no check, but counts as moving and allows no reset.
  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Pass(44002, 1, 40, nan);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  TestCab().master.fahrschalter = 2;
  Pass(44002, 5, 0, nan);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 0);
}

TEST_F(TripStop, button_at_7_kmh_after_a_trip_only_lights_its_lamp) {
  Pass(44002, 0, 0, 30.0f);
  Played(78);
  gState.Speed = 7.0f;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(gPanel[kPanelTripButtonTripped], 1);
  EXPECT_EQ(gPanel[kPanelTripButtonArmed], 0);
  EXPECT_FALSE(Played(73));
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 0);
  Fahrsperre_loslassen(TestCab(), kKeyTripStop);
  EXPECT_EQ(gPanel[kPanelTripButtonTripped], 0);
  EXPECT_FALSE(Played(71));
}

TEST_F(TripStop, reset_at_a_standstill_counts_and_releases_the_spring_brake_from_afar) {
  Pass(44002, 0, 0, 30.0f);
  gState.Speed = 0.0f;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  Fahrsperre_druecken(TestCab(), kKeyTripStop);  // host key repeat counts once
  EXPECT_TRUE(Played(73));
  EXPECT_FALSE(Played(74));
  EXPECT_FALSE(Played(8));
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreAusgeloest);
  EXPECT_EQ(gPanel[kPanelTripLamp], 1);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 1);
  EXPECT_EQ(CounterFile("Z1.dat"), "1");
  EXPECT_EQ(TestCab().springBrake.befehl, kBefehlLoesen);
  EXPECT_TRUE(TestCab().springBrake.speicherbremse_aus_taster == kAusGedrueckt || TestCab().springBrake.speicherbremse_aus_taster == kAusLang);
  EXPECT_EQ(TestCab().tripStop.fahrsperre_taster, kTasterNachRueckstellung);
  EXPECT_FALSE(Played(72));  // the remote release makes no button sound
  Fahrsperre_loslassen(TestCab(), kKeyTripStop);
  EXPECT_TRUE(Played(71));
  EXPECT_FALSE(TestCab().springBrake.speicherbremse_aus_taster == kAusGedrueckt || TestCab().springBrake.speicherbremse_aus_taster == kAusLang);
  EXPECT_NE(TestCab().tripStop.fahrsperre_taster, kTasterNachRueckstellung);
  EXPECT_EQ(TestCab().tripStop.fahrsperre_taster, kTasterLos);
}

// A run started while the button is still held from a reset keeps it held but forgets the
// reset: letting go then ends no remote release of the spring brake.
TEST_F(TripStop, a_reset_held_through_a_restart_ends_no_remote_release_when_let_go) {
  Pass(44002, 0, 0, 30.0f);
  gState.Speed = 0.0f;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  StartUBahnCab(0);
  EXPECT_EQ(TestCab().tripStop.fahrsperre_taster, kTasterGedrueckt);
  Fahrsperre_loslassen(TestCab(), kKeyTripStop);
  EXPECT_FALSE(Played(71));
  EXPECT_EQ(TestCab().springBrake.speicherbremse_aus_taster, kAusGedrueckt);
  EXPECT_EQ(TestCab().tripStop.fahrsperre_taster, kTasterLos);
}

TEST_F(TripStop, reset_sound_tells_whether_the_spring_brake_is_applied_and_fills_the_pipe_in_position_2) {
  Pass(44002, 0, 0, 30.0f);
  gState.Speed = -6.9f;
  TestCab().springBrake.federspeicher_aktiv = true;
  TestCab().brake.bremsschalter = 2;
  TestCab().master.SifaKey = true;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_TRUE(Played(74));
  EXPECT_FALSE(Played(73));
  EXPECT_TRUE(Played(8));
}

TEST_F(TripStop, reset_in_position_2_without_the_sifa_key_fills_nothing) {
  Pass(44002, 0, 0, 30.0f);
  gState.Speed = 0.0f;
  TestCab().brake.bremsschalter = 2;
  TestCab().master.SifaKey = false;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 1);  // reset all the same
  EXPECT_FALSE(Played(8));
}

TEST_F(TripStop, button_pressed_while_armed_changes_only_its_lamps) {
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_EQ(gPanel[kPanelTripButtonArmed], 1);
  EXPECT_EQ(gPanel[kPanelTripButtonTripped], 0);
  EXPECT_FALSE(Played(73));
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 0);
  EXPECT_NE(TestCab().tripStop.fahrsperre_taster, kTasterNachRueckstellung);
  EXPECT_NE(TestCab().tripStop.fahrsperre_taster, kTasterLos);
  Fahrsperre_loslassen(TestCab(), kKeyTripStop);
  EXPECT_EQ(gPanel[kPanelTripButtonArmed], 0);
  EXPECT_FALSE(Played(71));
}

TEST_F(TripStop, lamp_follows_the_trip_stop_every_frame) {
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  Fahrsperrenupdate(TestCab());
  EXPECT_EQ(gPanel[kPanelTripLamp], 0);
  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  Fahrsperrenupdate(TestCab());
  EXPECT_EQ(gPanel[kPanelTripLamp], 1);
}

TEST_F(TripStop, counters_show_on_their_digit_elements_without_reduction) {
  TestCab().tripStop.kilometerzaehler = 12345;
  TestCab().tripStop.zaehlwerk1 = 1234;
  TestCab().tripStop.zaehlwerk2 = 987;
  KilometerUndFahrsperrenzaehlwerk(TestCab());
  const int km[] = {1, 12, 123, 1234, 12345};
  for (int i = 0; i < 5; i++) EXPECT_EQ(gPanel[kPanelKmDigits + i], km[i]) << i;
  const int z1[] = {1, 12, 123, 1234};
  const int z2[] = {0, 9, 98, 987};
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(gPanel[kPanelZ1Digits + i], z1[i]) << i;
    EXPECT_EQ(gPanel[kPanelZ2Digits + i], z2[i]) << i;
  }
}

class Kilometres : public TripStop {
 protected:
  void FrameAt(double location, float speed) {
    gState.Location = location;
    gState.Speed = speed;
    KilometerUndFahrsperrenzaehlwerk(TestCab());
  }
};

TEST_F(Kilometres, a_run_far_from_location_0_counts_one_kilometre_at_its_first_forward_frame) {
  FrameAt(5000.0, 0.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 0);
  FrameAt(5000.0, 1.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
  EXPECT_EQ(CounterFile("Z3.dat"), "1");
  EXPECT_DOUBLE_EQ(TestCab().tripStop.nulllage, 5000.0);
  FrameAt(5900.0, 1.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
}

TEST_F(Kilometres, counting_restarts_from_where_the_kilometre_was_counted) {
  TestCab().tripStop.nulllage = 100.0;
  FrameAt(1100.0, 60.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 0);  // exactly 1000 m is not more than a kilometre
  FrameAt(1150.5, 60.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
  FrameAt(2150.0, 60.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
  FrameAt(2151.0, 60.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 2);
  EXPECT_EQ(CounterFile("Z3.dat"), "2");
  EXPECT_EQ(gPanel[kPanelKmDigits + 4], 2);
}

TEST_F(Kilometres, backward_running_never_counts_but_the_next_forward_frame_does) {
  FrameAt(-1500.0, -30.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 0);
  FrameAt(-1499.0, 10.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
}

TEST_F(Kilometres, a_jump_of_any_size_counts_one_kilometre_and_no_location_breaks_the_count) {
  FrameAt(1e300, 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 1);
  FrameAt(-1e300, 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 2);
  FrameAt(std::numeric_limits<double>::quiet_NaN(), 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 2);
  EXPECT_DOUBLE_EQ(TestCab().tripStop.nulllage, -1e300);
  FrameAt(std::numeric_limits<double>::infinity(), 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 3);
  FrameAt(std::numeric_limits<double>::infinity(), 50.0f);  // no distance from infinity to itself
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 3);
  FrameAt(0.0, 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 4);
  FrameAt(5000.0, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, 4);
  EXPECT_EQ(CounterFile("Z3.dat"), "4");
}

TEST_F(Kilometres, counters_stop_at_the_largest_value_instead_of_wrapping) {
  TestCab().tripStop.kilometerzaehler = INT32_MAX - 1;
  FrameAt(2000.0, 50.0f);
  FrameAt(4000.0, 50.0f);
  EXPECT_EQ(TestCab().tripStop.kilometerzaehler, INT32_MAX);
  EXPECT_EQ(CounterFile("Z3.dat"), "2147483647");
  EXPECT_EQ(gPanel[kPanelKmDigits + 4], INT32_MAX);

  TestCab().tripStop.zaehlwerk1 = INT32_MAX;
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  gState.Speed = 0.0f;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, INT32_MAX);
  EXPECT_EQ(CounterFile("Z1.dat"), "2147483647");

  TestCab().tripStop.zaehlwerk2 = INT32_MAX;
  Pass(44002, 0, 0, 1.0f);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk2, INT32_MAX);
  EXPECT_EQ(CounterFile("Z2.dat"), "2147483647");
}

TEST(TripStopFiles, an_unwritable_counter_folder_is_skipped_and_counting_goes_on) {
  TempFolder root;  // no Train/Morvan beside it
  auto previous = std::filesystem::current_path();
  std::filesystem::create_directories(root.path / "a" / "b" / "c");
  std::filesystem::current_path(root.path / "a" / "b" / "c");
  StartEquipment();
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_EQ(TestCab().tripStop.zaehlwerk1, 1);
  EXPECT_EQ(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_FALSE(std::filesystem::exists(root.path / "Train"));
  std::filesystem::current_path(previous);
}

}  // namespace
