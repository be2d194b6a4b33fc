#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ubahn_equipment_setup.h"

namespace {

const int kKeyLeft = 8;
const int kKeyClose = 9;
const int kKeyRight = 10;

class Doors : public ::testing::Test {
 protected:
  int32_t now = 1000;
  void SetUp() override {
    StartEquipment();
    TestCab().doors.tueren_geschlossen = true;  // as every run starts
    TestCab().master.fahrschalter = 3;           // forward taken: the doors-closed lamp may light
    At(now, 0.0f);
  }
  // Frames every 50 ms after the current one, up to and including `until`.
  void RunUntil(int32_t until, float speed = 0.0f) {
    while (now < until) {
      now += 50;
      At(now, speed);
      Tuersteuerung(TestCab());
    }
  }
  void Frame(float speed = 0.0f) {
    At(now, speed);
    Tuersteuerung(TestCab());
  }
  // Whether the sound was started since it was last looked at; it is marked stopped again.
  bool Played(int element) {
    bool played = gSound[element] == SOUND_PLAY;
    gSound[element] = SOUND_STOP;
    return played;
  }
  void Press(int key) {
    At(now, gState.Speed);
    Tuertaster_druecken(TestCab(), key);
    Tuertaster_rechts_druecken(TestCab(), key);
    Tuertaster_links_druecken(TestCab(), key);
  }
  void Release(int key) {
    Tuertaster_loslassen(TestCab(), key);
    Tuertaster_rechts_loslassen(TestCab(), key);
    Tuertaster_links_loslassen(TestCab(), key);
  }
  void Tap(int key) {
    Press(key);
    Release(key);
  }
  // Right platform, `passengers` waiting, right doors opened at the current time.
  void OpenRightDoorsWith(int passengers) {
    TuerseiteFestlegen(TestCab(), 1);
    SetFahrgaeste(TestCab(), passengers);
    Tap(kKeyRight);
    Frame();
  }
};

TEST_F(Doors, door_button_at_7_kmh_waits_for_the_first_frame_below_7) {
  TuerseiteFestlegen(TestCab(), 1);
  At(now, 7.0f);
  Tap(kKeyRight);
  RunUntil(2000, 7.0f);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 3);
  EXPECT_EQ(gPanel[kPanelRightLampPre], 1);
  EXPECT_EQ(gPanel[kPanelRightLamp], 0);
  EXPECT_FALSE(Played(16));
  RunUntil(2050, 6.9f);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 4);
  EXPECT_TRUE(Played(16));
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(gPanel[kPanelRightLamp], 1);
  EXPECT_EQ(gPanel[kPanelRightLampPre], 0);
  EXPECT_EQ(gPanel[kPanelRightState], 4);
}

TEST_F(Doors, side_released_away_from_the_platform_opens_nothing_and_is_withdrawn_at_once) {
  TuerseiteFestlegen(TestCab(), 2);
  SetFahrgaeste(TestCab(), 5);
  Tap(kKeyRight);
  Frame();
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 4);
  EXPECT_FALSE(Played(16));
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  // Nobody boards; the waiting passengers protest every 3000 ms.
  RunUntil(3950);
  EXPECT_FALSE(Played(77));
  RunUntil(4000);
  EXPECT_TRUE(Played(77));
  RunUntil(6950);
  EXPECT_FALSE(Played(77));
  RunUntil(7000);
  EXPECT_TRUE(Played(77));
  EXPECT_EQ(TestCab().doors.fahrgaeste, 5);
  Tap(kKeyClose);
  EXPECT_TRUE(Played(18));
  EXPECT_FALSE(Played(17));
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 0);
}

TEST_F(Doors, one_passenger_boards_per_second_and_the_display_follows) {
  OpenRightDoorsWith(3);
  EXPECT_EQ(gPanel[kPanelMessage], 1);
  EXPECT_EQ(gPanel[kPanelPassengers1], 3);
  EXPECT_EQ(gPanel[kPanelCover], 0);
  RunUntil(1950);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 3);
  RunUntil(2000);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 2);
  EXPECT_EQ(gPanel[kPanelPassengers1], 2);
  RunUntil(3950);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 1);
  RunUntil(4000);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 0);
  EXPECT_EQ(gPanel[kPanelPassengers1], 0);
}

TEST_F(Doors, passenger_display_shows_tens_and_the_whole_count) {
  OpenRightDoorsWith(25);
  EXPECT_EQ(gPanel[kPanelPassengers10], 2);
  EXPECT_EQ(gPanel[kPanelPassengers1], 25);
}

TEST_F(Doors, closing_takes_2400_ms_of_warning_and_3200_ms_of_closing) {
  OpenRightDoorsWith(0);
  RunUntil(2000);
  Press(kKeyClose);
  EXPECT_EQ(gPanel[kPanelCloseLampOff], 1);  // doors not yet closed: the lamp is dark
  EXPECT_EQ(gPanel[kPanelCloseLampOn], 0);
  Release(kKeyClose);
  EXPECT_TRUE(Played(17));
  EXPECT_EQ(gSound[16], SOUND_STOP);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 2);
  RunUntil(4350);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 2);
  EXPECT_EQ(gPanel[kPanelRightLampPre], 1);
  RunUntil(4400);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 1);
  EXPECT_FALSE(TestCab().doors.rechts.tueren_offen);
  EXPECT_EQ(gPanel[kPanelMessage], 0);
  RunUntil(7550);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(gPanel[kPanelDoorsClosed], 0);
  RunUntil(7600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 0);
  EXPECT_EQ(gPanel[kPanelRightState], 0);
  EXPECT_EQ(gPanel[kPanelDoorsClosed], 1);
  EXPECT_EQ(gPanel[kPanelCover], 1);
  Press(kKeyClose);
  EXPECT_EQ(gPanel[kPanelCloseLampOn], 1);
}

TEST_F(Doors, doors_closed_lamp_is_dark_with_the_master_controller_in_neutral) {
  TestCab().master.fahrschalter = 2;
  Frame();
  EXPECT_EQ(gPanel[kPanelDoorsClosed], 0);
  Press(kKeyClose);
  EXPECT_EQ(gPanel[kPanelCloseLampOff], 1);
  EXPECT_EQ(gPanel[kPanelCloseLampOn], 0);
}

// Close pressed at 1500 with ten passengers waiting behind the open right doors.
class BlockedDoors : public Doors {
 protected:
  void CloseOnTenWaiting() {
    OpenRightDoorsWith(10);
    RunUntil(1500);
    Tap(kKeyClose);
  }
};

TEST_F(BlockedDoors, waiting_passengers_hold_the_doors_open_and_protest_every_3200_ms) {
  CloseOnTenWaiting();
  RunUntil(3850);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 8);  // two boarded during the warning
  RunUntil(7050);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 8);  // nobody boards while the side is closing
  EXPECT_EQ(gSound[22], SOUND_STOP);
  RunUntil(7100);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
  EXPECT_EQ(gSound[23], SOUND_STOP);
  EXPECT_EQ(gPanel[kPanelBlocked], 1);
  EXPECT_EQ(gPanel[kPanelCover], 0);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_FALSE(Played(77));
  RunUntil(10250);
  EXPECT_FALSE(Played(77));
  RunUntil(10300);
  EXPECT_TRUE(Played(77));
  RunUntil(13450);
  EXPECT_FALSE(Played(77));
  RunUntil(13500);
  EXPECT_TRUE(Played(77));
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 1);
}

TEST_F(BlockedDoors, door_button_reopens_a_blocked_side_with_the_opening_sound) {
  CloseOnTenWaiting();
  RunUntil(8000);
  Played(16);
  Tap(kKeyRight);
  EXPECT_EQ(gSound[22], SOUND_STOP);
  Frame();
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 4);
  EXPECT_TRUE(Played(16));
  EXPECT_EQ(gPanel[kPanelBlocked], 0);
  EXPECT_EQ(gPanel[kPanelMessage], 1);
  RunUntil(9000);
  EXPECT_LT(TestCab().doors.fahrgaeste, 8);  // boarding goes on
}

TEST_F(BlockedDoors, an_unwired_blocked_message_still_lets_the_passengers_protest) {
  gOpts[OPT_tuermessage_einklemm].value = -1;
  CloseOnTenWaiting();
  RunUntil(7100);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
  EXPECT_EQ(gPanel[kPanelCover], 0);  // the message counts as showing
  Played(77);
  RunUntil(10250);
  EXPECT_FALSE(Played(77));
  RunUntil(10300);
  EXPECT_TRUE(Played(77));
}

TEST_F(Doors, second_close_press_during_the_warning_does_not_restart_it) {
  OpenRightDoorsWith(0);
  RunUntil(2000);
  Tap(kKeyClose);
  RunUntil(3000);
  Played(17);
  Tap(kKeyClose);
  EXPECT_FALSE(Played(17));
  RunUntil(4400);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 1);
  RunUntil(7600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

TEST_F(Doors, door_button_during_the_warning_reopens_and_the_closing_waits_for_a_new_press) {
  OpenRightDoorsWith(0);
  RunUntil(2000);
  Tap(kKeyClose);
  RunUntil(3000);
  Tap(kKeyRight);
  RunUntil(12000);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 4);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  Tap(kKeyClose);
  RunUntil(14350);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 2);
  RunUntil(14400);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 1);
  RunUntil(17600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

TEST_F(Doors, held_close_button_acts_once_and_its_lamp_clears_only_on_release) {
  OpenRightDoorsWith(0);
  RunUntil(2000);
  Press(kKeyClose);
  EXPECT_TRUE(Played(17));
  RunUntil(3000);
  Press(kKeyClose);  // host key repeat
  Press(kKeyClose);
  EXPECT_FALSE(Played(17));
  EXPECT_EQ(gPanel[kPanelCloseLampOff], 1);
  RunUntil(4400);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 1);  // the repeats did not restart the warning
  Release(kKeyClose);
  EXPECT_EQ(gPanel[kPanelCloseLampOff], 0);
  EXPECT_EQ(gPanel[kPanelCloseLampOn], 0);
}

TEST_F(Doors, side_buttons_show_release_or_preselection_while_held) {
  TuerseiteFestlegen(TestCab(), 2);
  Press(kKeyLeft);
  EXPECT_EQ(gPanel[kPanelLeftButtonPre], 1);
  EXPECT_EQ(gPanel[kPanelLeftButton], 0);
  Release(kKeyLeft);
  EXPECT_EQ(gPanel[kPanelLeftButtonPre], 0);
  Frame();
  EXPECT_TRUE(Played(19));
  EXPECT_EQ(gPanel[kPanelLeftLamp], 1);
  Press(kKeyLeft);
  EXPECT_EQ(gPanel[kPanelLeftButton], 1);
  Release(kKeyLeft);
  EXPECT_EQ(gPanel[kPanelLeftButton], 0);
}

TEST_F(Doors, a_second_passenger_beacon_sends_the_rest_away) {
  SetFahrgaeste(TestCab(), 4);
  SetFahrgaeste(TestCab(), 12);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 0);
  SetFahrgaeste(TestCab(), 12);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 12);
}

TEST_F(Doors, a_negative_passenger_count_boards_nobody_but_keeps_the_doors_open) {
  OpenRightDoorsWith(-3);
  RunUntil(5000);
  EXPECT_EQ(TestCab().doors.fahrgaeste, -3);
  Tap(kKeyClose);
  RunUntil(20000);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(gSound[22], SOUND_LOOP);
}

TEST_F(Doors, enormous_passenger_counts_board_one_by_one) {
  OpenRightDoorsWith(std::numeric_limits<int32_t>::max());
  RunUntil(2000);
  EXPECT_EQ(TestCab().doors.fahrgaeste, std::numeric_limits<int32_t>::max() - 1);
  EXPECT_EQ(gPanel[kPanelPassengers10], (std::numeric_limits<int32_t>::max() - 1) / 10);
  SetFahrgaeste(TestCab(), 0);
  SetFahrgaeste(TestCab(), std::numeric_limits<int32_t>::min());
  RunUntil(4000);
  EXPECT_EQ(TestCab().doors.fahrgaeste, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(gPanel[kPanelPassengers10], std::numeric_limits<int32_t>::min() / 10);
}

TEST_F(Doors, a_rolling_train_boards_nobody_and_shows_no_message) {
  OpenRightDoorsWith(5);
  RunUntil(4000, 0.5f);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 5);
  EXPECT_EQ(gPanel[kPanelMessage], 0);
  EXPECT_EQ(gPanel[kPanelCover], 1);
}

TEST_F(Doors, a_speed_that_is_not_a_number_releases_nothing_and_boards_nobody) {
  TuerseiteFestlegen(TestCab(), 1);
  SetFahrgaeste(TestCab(), 5);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  At(now, nan);
  Tap(kKeyRight);
  RunUntil(3000, nan);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 3);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(TestCab().doors.fahrgaeste, 5);
}

TEST_F(Doors, run_starting_with_doors_open_needs_them_closed_for_traction) {
  TuerInit(TestCab(), 1);
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 4);
  EXPECT_TRUE(TestCab().doors.rechts.tueren_offen);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_TRUE(TestCab().doors.freigabe);
  EXPECT_FALSE(Played(16));
  TuerInit(TestCab(), 7);  // no such side
  EXPECT_EQ(TestCab().doors.links.tuerstatus, 0);
  Frame();
  Tap(kKeyClose);
  EXPECT_TRUE(Played(17));
  RunUntil(now + 5600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

TEST_F(Doors, close_button_withdraws_a_request_whose_doors_never_opened) {
  TuerseiteFestlegen(TestCab(), 1);
  At(now, 30.0f);
  Tap(kKeyLeft);
  Frame(30.0f);
  EXPECT_EQ(TestCab().doors.links.tuerstatus, 3);
  Tap(kKeyClose);
  EXPECT_EQ(TestCab().doors.links.tuerstatus, 0);
  EXPECT_FALSE(Played(21));
}

// ---- Both sides alike: every scenario runs once for the right side and once for the left ----

struct DoorSide {
  const char* name;
  int platform;  // the platform-side beacon's value for this side
  int key, otherKey;
  int soundOpen, soundWarning, soundWithdrawn, soundHeldOpen;
  int otherWarning, otherHeldOpen;  // the same sounds of the other side
  DoorPhase* state;
  bool* open;
  DoorPhase* otherState;
  int panelLamp, panelLampPre, panelButton, panelButtonPre, panelState;
};

const DoorSide kRightSide = {"right", 1, kKeyRight, kKeyLeft, 16, 17, 18, 22, 20, 23, &TestCab().doors.rechts.tuerstatus, &TestCab().doors.rechts.tueren_offen,
                             &TestCab().doors.links.tuerstatus, kPanelRightLamp, kPanelRightLampPre, kPanelRightButton,
                             kPanelRightButtonPre, kPanelRightState};
const DoorSide kLeftSide = {"left", 2, kKeyLeft, kKeyRight, 19, 20, 21, 23, 17, 22, &TestCab().doors.links.tuerstatus, &TestCab().doors.links.tueren_offen,
                            &TestCab().doors.rechts.tuerstatus, kPanelLeftLamp, kPanelLeftLampPre, kPanelLeftButton,
                            kPanelLeftButtonPre, kPanelLeftState};

void PrintTo(const DoorSide& side, std::ostream* out) { *out << side.name << " side"; }

class EachDoorSide : public Doors, public ::testing::WithParamInterface<DoorSide> {
 protected:
  const DoorSide& side = GetParam();
  // The platform on this side, `passengers` waiting, this side's doors opened now.
  void OpenWith(int passengers) {
    TuerseiteFestlegen(TestCab(), side.platform);
    SetFahrgaeste(TestCab(), passengers);
    Tap(side.key);
    Frame();
  }
};

TEST_P(EachDoorSide, opens_warns_and_closes_with_its_own_sounds_and_lamps) {
  OpenWith(0);
  EXPECT_TRUE(Played(side.soundOpen));
  EXPECT_EQ(*side.state, 4);
  EXPECT_EQ(gPanel[side.panelLamp], 1);
  EXPECT_EQ(*side.otherState, 0);
  RunUntil(2000);
  Tap(kKeyClose);
  EXPECT_TRUE(Played(side.soundWarning));
  EXPECT_FALSE(Played(side.otherWarning));
  Frame();
  EXPECT_EQ(gPanel[side.panelState], 2);
  EXPECT_EQ(gPanel[side.panelLampPre], 1);
  EXPECT_EQ(gPanel[side.panelLamp], 0);
  RunUntil(4400);
  EXPECT_EQ(*side.state, 1);
  EXPECT_FALSE(*side.open);
  RunUntil(7550);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  RunUntil(7600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(gPanel[side.panelState], 0);
  EXPECT_EQ(gPanel[side.panelLampPre], 0);
}

TEST_P(EachDoorSide, a_release_away_from_the_platform_is_withdrawn_by_the_close_button) {
  TuerseiteFestlegen(TestCab(), 3 - side.platform);
  Tap(side.key);
  Frame();
  EXPECT_EQ(*side.state, 4);
  EXPECT_FALSE(Played(side.soundOpen));
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  Tap(kKeyClose);
  EXPECT_TRUE(Played(side.soundWithdrawn));
  EXPECT_FALSE(Played(side.soundWarning));
  EXPECT_EQ(*side.state, 0);
}

TEST_P(EachDoorSide, waiting_passengers_hold_it_open_with_its_own_loop) {
  OpenWith(10);
  RunUntil(1500);
  Tap(kKeyClose);
  RunUntil(7100);
  EXPECT_EQ(gSound[side.soundHeldOpen], SOUND_LOOP);
  EXPECT_EQ(gSound[side.otherHeldOpen], SOUND_STOP);
  EXPECT_EQ(*side.state, 1);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
}

TEST_P(EachDoorSide, its_button_shows_the_release_while_the_side_is_released) {
  OpenWith(0);
  Press(side.key);
  EXPECT_EQ(gPanel[side.panelButton], 1);
  EXPECT_EQ(gPanel[side.panelButtonPre], 0);
  Release(side.key);
  EXPECT_EQ(gPanel[side.panelButton], 0);
}

TEST_P(EachDoorSide, a_run_starting_with_its_doors_open_closes_them_on_the_close_button) {
  TuerInit(TestCab(), side.platform);
  EXPECT_EQ(*side.state, 4);
  EXPECT_TRUE(*side.open);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  EXPECT_FALSE(Played(side.soundOpen));
  Frame();
  Tap(kKeyClose);
  EXPECT_TRUE(Played(side.soundWarning));
  RunUntil(now + 5600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  EXPECT_EQ(*side.state, 0);
}

// Its button pressed again while the doors stand open asks for a release that is already there:
// a close press then leaves the doors open, and the next one starts the warning.
TEST_P(EachDoorSide, a_second_button_press_with_open_doors_takes_a_second_close_press) {
  OpenWith(0);
  ASSERT_TRUE(Played(side.soundOpen));
  Tap(side.key);
  Tap(kKeyClose);
  EXPECT_EQ(*side.state, 3);
  EXPECT_FALSE(Played(side.soundWarning));
  Frame();
  EXPECT_EQ(*side.state, 4);
  EXPECT_FALSE(Played(side.soundOpen));
  Tap(kKeyClose);
  EXPECT_TRUE(Played(side.soundWarning));
  EXPECT_EQ(*side.state, 2);
}

// The other side's button pressed while this side warns or closes holds the sequence where it
// is; the next close press withdraws the other side's release and starts counting again.
TEST_P(EachDoorSide, the_other_button_holds_the_warning_until_the_next_close_press) {
  OpenWith(0);
  RunUntil(2000);
  Tap(kKeyClose);
  RunUntil(3000);
  Tap(side.otherKey);
  RunUntil(10000);
  EXPECT_EQ(*side.state, 2);
  Played(side.soundWarning);
  Tap(kKeyClose);
  EXPECT_TRUE(Played(side.soundWarning));
  EXPECT_EQ(*side.otherState, 0);
  RunUntil(12400);
  EXPECT_EQ(*side.state, 1);
  RunUntil(15600);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

TEST_P(EachDoorSide, the_other_button_holds_the_closing_until_the_next_close_press) {
  OpenWith(0);
  RunUntil(2000);
  Tap(kKeyClose);
  RunUntil(5000);
  ASSERT_EQ(*side.state, 1);
  Tap(side.otherKey);
  RunUntil(10000);
  EXPECT_EQ(*side.state, 1);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  Tap(kKeyClose);
  EXPECT_EQ(*side.otherState, 0);
  RunUntil(13150);
  EXPECT_FALSE(TestCab().doors.tueren_geschlossen);
  RunUntil(13200);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

// A restart keeps the side states but marks the doors closed: a warning left running ends at
// the first frame, with both sides closed, however late that frame comes.
TEST_P(EachDoorSide, a_restart_during_the_warning_leaves_both_sides_closed) {
  OpenWith(0);
  Tap(kKeyClose);
  Frame();
  ASSERT_EQ(*side.state, 2);
  StartUBahnCab(0);
  now += 3000;
  Frame();
  EXPECT_EQ(TestCab().doors.rechts.tuerstatus, 0);
  EXPECT_EQ(TestCab().doors.links.tuerstatus, 0);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
}

INSTANTIATE_TEST_SUITE_P(RightAndLeft, EachDoorSide, ::testing::Values(kRightSide, kLeftSide),
                         [](const ::testing::TestParamInfo<DoorSide>& info) { return std::string(info.param.name); });

}  // namespace
