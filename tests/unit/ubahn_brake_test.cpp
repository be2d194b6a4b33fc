// The brake controller: its keys and pictures, the electric, air, holding and spring brake notches,
// the stopping sound and the lamps.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "ubahn_cab_setup.h"

const int kSoundEmergency = 1;
const int kSoundClick = 5;
const int kSoundServiceVenting = 7;
const int kSoundFilling = 8;

// A cab with a charged pipe, forward chosen, standing, the air brake lifted.
static void ChargedCab(int position) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().master.richtung = kRichtungVorwaerts;
  TestCab().brake.bremsschalter = position;
  TestCab().brake.bremsleitungsdruck = 500.0;
  TestCab().brake.druck_hilfsvariable = 500.0;
  TestCab().brake.luftbremse = false;
}

// ---- Keys and pictures ----

TEST(BrakeController, keys_stop_at_the_end_positions_silently) {
  StartCab();
  TestCab().brake.bremsschalter = 8;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(TestCab().brake.bremsschalter, 8);
  TestCab().brake.bremsschalter = 0;
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(TestCab().brake.bremsschalter, 0);
  EXPECT_EQ(GetSound(kSoundClick), SOUND_STOP);
  for (int key : {13, 16, -15, INT_MAX}) {
    BremsschalterBremsen(TestCab(), key);
    BremsschalterLoesen(TestCab(), key);
  }
  EXPECT_EQ(TestCab().brake.bremsschalter, 0);
}

TEST(BrakeController, pictures_show_positions_0_to_6_and_5_to_8) {
  StartCab();
  TestCab().brake.bremsschalter = 6;
  SetPanel(kPanelBrake1, 6);
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetPanel(kPanelBrake1), 6);  // 7 is not drawn by the first picture
  EXPECT_EQ(GetPanel(kPanelBrake2), 2);
  TestCab().brake.bremsschalter = 4;
  SetPanel(kPanelBrake2, 9);
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetPanel(kPanelBrake1), 5);
  EXPECT_EQ(GetPanel(kPanelBrake2), 0);
  SetPanel(kPanelBrake2, 9);
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(GetPanel(kPanelBrake1), 4);
  EXPECT_EQ(GetPanel(kPanelBrake2), 9);  // 4 is not drawn by the second picture
}

TEST(BrakeController, venting_positions_are_heard_only_with_air_in_the_pipe) {
  StartCab();
  TestCab().brake.bremsschalter = 7;
  TestCab().brake.bremsleitungsdruck = 10.0;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetSound(kSoundClick), SOUND_PLAY);
  EXPECT_EQ(GetSound(kSoundEmergency), SOUND_STOP);
  TestCab().brake.bremsschalter = 7;
  TestCab().brake.bremsleitungsdruck = 10.5;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetSound(kSoundEmergency), SOUND_PLAY);
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(GetSound(kSoundServiceVenting), SOUND_PLAY);
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(GetSound(kSoundServiceVenting), SOUND_STOP);
}

TEST(BrakeController, position_2_is_heard_filling_only_when_the_pipe_can_fill) {
  StartCab();
  TestCab().brake.bremsleitungsdruck = 400.0;
  TestCab().brake.bremsschalter = 1;
  BremsschalterBremsen(TestCab(), 15);  // Sifa key not held
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_STOP);
  TestCab().master.SifaKey = true;
  TestCab().brake.bremsschalter = 3;
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_PLAY);
  TestCab().sounds.deuta = kDeutaBremst;
  TestCab().brake.bremsschalter = 1;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_STOP);
}

TEST(BrakeController, position_2_is_silent_while_the_trip_valve_vents_the_pipe) {
  StartCab();
  TestCab().master.SifaKey = true;
  TestCab().brake.bremsleitungsdruck = 400.0;
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  TestCab().brake.bremsschalter = 1;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_STOP);
}

TEST(BrakeController, moving_into_7_vents_audibly_only_with_air_in_the_pipe) {
  for (double pipe : {10.0, 10.5}) {
    StartCab();
    TestCab().brake.bremsschalter = 6;
    TestCab().brake.bremsleitungsdruck = pipe;
    BremsschalterBremsen(TestCab(), 15);
    EXPECT_EQ(GetSound(kSoundServiceVenting), pipe > 10.0 ? SOUND_PLAY : SOUND_STOP) << pipe;
  }
}

TEST(BrakeController, every_move_restarts_the_pipe_step_timer) {
  StartCab();
  gState.Time = 98765;
  BremsschalterBremsen(TestCab(), 15);
  EXPECT_EQ(TestCab().brake.luftbremstimer2, 98765);
  gState.Time = 99999;
  BremsschalterLoesen(TestCab(), 14);
  EXPECT_EQ(TestCab().brake.luftbremstimer2, 99999);
}

// ---- Holding-brake button ----

TEST(HoldingBrakeButton, works_only_in_position_6_and_ignores_key_repeat) {
  StartCab();
  TestCab().brake.bremsschalter = 5;
  FesthaltebremseKeyPressed(TestCab(), 13);
  EXPECT_FALSE(TestCab().brake.festhaltebremse);
  EXPECT_EQ(GetSound(kSoundHoldingButton), SOUND_STOP);

  TestCab().brake.bremsschalter = 6;
  TestCab().brake.bremsleitungsdruck = 460.0;
  FesthaltebremseKeyPressed(TestCab(), 13);
  EXPECT_TRUE(TestCab().brake.festhaltebremse);
  EXPECT_TRUE(TestCab().brake.festhaltebremsekey);
  EXPECT_EQ(GetPanel(kPanelHoldingButton), 1);
  EXPECT_EQ(GetSound(kSoundHoldingButton), SOUND_PLAY);
  EXPECT_EQ(GetSound(kSoundFilling), SOUND_PLAY);
  Load();
  FesthaltebremseKeyPressed(TestCab(), 13);
  EXPECT_EQ(GetSound(kSoundHoldingButton), SOUND_STOP);

  FesthaltebremseKeyReleased(TestCab(), 13);
  EXPECT_EQ(GetSound(kSoundHoldingButton), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kPanelHoldingButton), 0);
  EXPECT_FALSE(TestCab().brake.festhaltebremsekey);
  EXPECT_TRUE(TestCab().brake.festhaltebremse);  // stays applied after the button is let go
}

TEST(HoldingBrakeButton, is_heard_filling_only_above_450_kpa_when_not_yet_applied) {
  struct Case {
    double pipe;
    bool applied;
    int filling;
  };
  for (Case c : {Case{450.5, false, SOUND_PLAY}, Case{450.0, false, SOUND_STOP}, Case{460.0, true, SOUND_STOP}}) {
    StartCab();
    TestCab().brake.bremsschalter = 6;
    TestCab().brake.bremsleitungsdruck = c.pipe;
    TestCab().brake.festhaltebremse = c.applied;
    FesthaltebremseKeyPressed(TestCab(), 13);
    EXPECT_EQ(GetSound(kSoundFilling), c.filling) << c.pipe << (c.applied ? " applied" : "");
    EXPECT_EQ(GetSound(kSoundHoldingButton), SOUND_PLAY);
  }
}

TEST(HoldingBrakeButton, is_released_in_the_first_frame_out_of_position_6) {
  ChargedCab(6);
  FesthaltebremseKeyPressed(TestCab(), 13);
  TestCab().brake.bremsschalter = 5;
  UBahnBremse(TestCab());
  EXPECT_FALSE(TestCab().brake.festhaltebremse);
  EXPECT_FALSE(TestCab().brake.festhaltebremsekey);
  EXPECT_EQ(GetPanel(kPanelHoldingButton), 0);
}

// ---- Notches ----

TEST(BrakeNotch, electric_steps_follow_the_controller_and_the_pipe) {
  for (int position = 3; position <= 6; position++) {
    ChargedCab(position);
    gState.Speed = 30.0f;
    UBahnBremse(TestCab());
    EXPECT_EQ(gHandles.Brake, position - 2) << position;
    EXPECT_EQ(GetPanel(kPanelNotch), position - 2);
    if (position == 6) continue;  // below 470 kPa position 6 holds instead
    TestCab().brake.bremsleitungsdruck = 460.0;
    UBahnBremse(TestCab());
    EXPECT_EQ(gHandles.Brake, position - 1) << position;
  }
}

TEST(BrakeNotch, keeps_exactly_one_demand_in_the_arbitration) {
  ChargedCab(5);
  gState.Speed = 30.0f;
  for (int frame = 0; frame < 5; frame++) UBahnBremse(TestCab());
  EXPECT_EQ(BrakeCount(3), 1);
  TestCab().brake.bremsschalter = 4;
  UBahnBremse(TestCab());
  EXPECT_EQ(BrakeCount(3), 0);
  EXPECT_EQ(BrakeCount(2), 1);
}

TEST(BrakeNotch, pipe_exactly_490_neither_applies_the_air_brake_nor_releases) {
  for (int position = 0; position <= 2; position++) {
    ChargedCab(position);
    TestCab().brake.bremsstufe = 3;
    OperateBrake(3, true);
    TestCab().brake.bremsleitungsdruck = 490.0;
    UBahnBremse(TestCab());
    EXPECT_FALSE(TestCab().brake.luftbremse);
    EXPECT_EQ(TestCab().brake.bremsstufe, 3);
    TestCab().brake.bremsleitungsdruck = 490.5;
    UBahnBremse(TestCab());
    EXPECT_EQ(TestCab().brake.bremsstufe, 0);
  }
}

struct PipeNotch {
  double pipe;
  int notch;
};

void PrintTo(const PipeNotch& case_, std::ostream* out) { *out << case_.pipe << " kPa gives notch " << case_.notch; }

class AirBrakeNotch : public ::testing::TestWithParam<PipeNotch> {};

TEST_P(AirBrakeNotch, follows_the_pipe_pressure_bands) {
  ChargedCab(7);  // the air brake is always in force in position 7
  TestCab().brake.bremsleitungsdruck = GetParam().pipe;
  UBahnBremse(TestCab());
  EXPECT_TRUE(TestCab().brake.luftbremse);
  EXPECT_EQ(TestCab().brake.bremsstufe, GetParam().notch) << GetParam().pipe;
  EXPECT_EQ(gHandles.Brake, GetParam().notch);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, AirBrakeNotch,
    ::testing::Values(PipeNotch{500.0, 0}, PipeNotch{467.5, 0}, PipeNotch{467.0, 1},
                      PipeNotch{445.1, 1}, PipeNotch{445.0, 2}, PipeNotch{401.0, 4},
                      PipeNotch{313.0, 8}, PipeNotch{291.1, 8}, PipeNotch{291.0, 9},
                      PipeNotch{250.0, 9}, PipeNotch{0.0, 9}));

TEST(BrakeNotch, air_brake_in_force_holds_the_reverser_in_neutral) {
  ChargedCab(1);
  gHandles.Reverser = 1;
  TestCab().brake.bremsleitungsdruck = 480.0;
  UBahnBremse(TestCab());
  EXPECT_TRUE(TestCab().brake.luftbremse);
  EXPECT_EQ(gHandles.Reverser, 0);
  EXPECT_EQ(TestCab().brake.bremsstufe, 0);  // 480 kPa is still below the first notch's band
}

TEST(BrakeNotch, sifa_forced_braking_puts_the_air_brake_in_force) {
  ChargedCab(1);
  TestCab().master.SifaBremst = true;
  TestCab().brake.bremsleitungsdruck = 400.0;
  UBahnBremse(TestCab());
  EXPECT_TRUE(TestCab().brake.luftbremse);
  EXPECT_EQ(TestCab().brake.bremsstufe, 4);
}

TEST(BrakeNotch, start_of_a_run_stands_braked_at_notch_8) {
  StartCab();
  UBahnBremse(TestCab());
  EXPECT_EQ(gHandles.Brake, 8);
  EXPECT_EQ(gHandles.Reverser, 0);
}

TEST(BrakeNotch, a_small_vehicle_ignores_notches_past_its_emergency_notch) {
  StartCab(4, 4);
  gHandles.Brake = 0;
  TestCab().brake.bremsleitungsdruck = 250.0;
  TestCab().brake.bremsschalter = 8;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 9);
  EXPECT_EQ(gHandles.Brake, 0);  // notch 9 is beyond a four-notch vehicle: ignored, the handle keeps 0
}

// ---- Holding ----

TEST(HoldingBrake, above_10_kmh_brakes_at_notch_5) {
  ChargedCab(6);
  gState.Speed = 10.5f;
  TestCab().brake.bremsleitungsdruck = 465.0;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 5);
}

TEST(HoldingBrake, at_10_kmh_and_below_rises_one_notch_per_100_ms_to_8) {
  ChargedCab(6);
  TestCab().brake.ebremse = true;
  gState.Speed = 10.0f;
  TestCab().brake.bremsleitungsdruck = 465.0;
  gState.Time = 2000;
  UBahnBremse(TestCab());  // arms the step timer: the electric step alone, 4
  EXPECT_EQ(TestCab().brake.bremsstufe, 4);
  gState.Time = 2050;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 4);
  gState.Time = 2100;
  UBahnBremse(TestCab());  // the electric step gives 4 again, the holding rule adds one
  EXPECT_EQ(TestCab().brake.bremsstufe, 5);

  // With the holding brake applied the electric step no longer resets the notch.
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.bremsleitungsdruck = 450.0;
  int expected[] = {6, 7, 8, 8, 8};
  for (int i = 0; i < 5; i++) {
    gState.Time = 2200 + 100 * i;
    UBahnBremse(TestCab());
    EXPECT_EQ(TestCab().brake.bremsstufe, expected[i]) << i;
  }
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);  // 10 km/h is not below 5
}

TEST(HoldingBrake, without_the_electric_brake_holds_at_notch_1) {
  ChargedCab(6);
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.ebremse = false;
  TestCab().brake.bremsleitungsdruck = 445.0;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 1);
}

TEST(HoldingBrake, plays_the_stopping_sound_once_below_5_kmh) {
  ChargedCab(6);
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.ebremse = true;
  TestCab().brake.bremsleitungsdruck = 445.0;
  gState.Speed = 6.0f;
  TestCab().brake.ebremstimer = 1;
  gState.Time = 1000;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);
  gState.Speed = 4.5f;
  gState.Time = 1100;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_PLAY);
  EXPECT_TRUE(TestCab().brake.anhaltesound);
  Load();
  gState.Time = 1200;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);
}

TEST(HoldingBrake, the_stopping_sound_waits_while_the_air_brake_is_in_force) {
  ChargedCab(6);
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.ebremse = true;
  TestCab().brake.luftbremse = true;
  TestCab().brake.bremsleitungsdruck = 445.0;
  gState.Speed = 2.0f;
  TestCab().brake.ebremstimer = 1;
  gState.Time = 1000;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);
  EXPECT_FALSE(TestCab().brake.anhaltesound);
}

TEST(HoldingBrake, released_brakes_near_rest_drop_the_electric_brake) {
  ChargedCab(1);
  TestCab().brake.ebremse = true;
  TestCab().brake.bremsstufe = 3;
  gState.Speed = 3.5f;
  UBahnBremse(TestCab());
  EXPECT_FALSE(TestCab().brake.ebremse);
  EXPECT_EQ(TestCab().brake.bremsstufe, 0);
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_PLAY);

  ChargedCab(1);
  TestCab().brake.ebremse = true;
  gState.Speed = 3.0f;
  UBahnBremse(TestCab());
  EXPECT_FALSE(TestCab().brake.ebremse);
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);
}

TEST(HoldingBrake, electric_brake_becomes_available_above_5_kmh_in_either_direction) {
  ChargedCab(4);
  gState.Speed = 5.0f;
  UBahnBremse(TestCab());
  EXPECT_FALSE(TestCab().brake.ebremse);
  gState.Speed = -5.5f;
  UBahnBremse(TestCab());
  EXPECT_TRUE(TestCab().brake.ebremse);
}

// ---- Spring brake ----

TEST(SpringBrakeNotch, adds_two_notches_up_to_9_and_holds_at_8_when_slow) {
  ChargedCab(7);
  TestCab().springBrake.federspeicher_aktiv = true;
  gState.Speed = 20.0f;
  for (auto [pipe, notch] : {std::pair<double, int>{335.5, 8}, {313.5, 9}, {300.0, 8}, {250.0, 9}}) {
    TestCab().brake.bremsleitungsdruck = pipe;  // air notches 6, 7, 8 and 9
    UBahnBremse(TestCab());
    EXPECT_EQ(TestCab().brake.bremsstufe, notch) << pipe;
  }
}

TEST(SpringBrakeNotch, below_10_kmh_in_the_electric_positions_holds_at_8) {
  ChargedCab(5);
  TestCab().springBrake.federspeicher_aktiv = true;
  gState.Speed = 9.9f;
  TestCab().brake.bremsleitungsdruck = 460.0;  // electric step 4, plus two
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 8);
  gState.Speed = 10.0f;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 6);
}

TEST(SpringBrakeNotch, below_10_kmh_in_the_air_brake_positions_adds_two_without_the_hold) {
  ChargedCab(7);
  TestCab().springBrake.federspeicher_aktiv = true;
  gState.Speed = 5.0f;
  TestCab().brake.bremsleitungsdruck = 401.0;  // air notch 4
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 6);
}

TEST(SpringBrakeNotch, standing_in_position_1_with_a_charged_pipe_gives_notch_2) {
  ChargedCab(1);
  TestCab().springBrake.federspeicher_aktiv = true;
  gHandles.Reverser = 1;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 2);
  EXPECT_EQ(gHandles.Reverser, 0);
}

// ---- Lamps ----

TEST(BrakeLamps, e4_lights_in_position_6_out_of_neutral) {
  ChargedCab(6);
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelE4), 1);
  TestCab().master.fahrschalter = 2;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelE4), 0);
}

TEST(BrakeLamps, brake_lamp_comes_on_below_450_and_goes_out_above_490) {
  ChargedCab(1);
  TestCab().brake.bremsleitungsdruck = 449.0;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelBrakeLamp), 1);
  TestCab().brake.bremsleitungsdruck = 470.0;  // between the two: keeps its state
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelBrakeLamp), 1);
  TestCab().brake.bremsleitungsdruck = 490.5;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelBrakeLamp), 0);
  TestCab().brake.bremsleitungsdruck = 470.0;
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelBrakeLamp), 0);
  TestCab().brake.bremsleitungsdruck = 300.0;
  UBahnBremse(TestCab());
  ASSERT_EQ(GetPanel(kPanelBrakeLamp), 1);
  TestCab().master.fahrschalter = 2;  // neutral puts it out whatever the pipe
  UBahnBremse(TestCab());
  EXPECT_EQ(GetPanel(kPanelBrakeLamp), 0);
}

TEST(BrakeNotch, a_speed_that_is_not_a_number_brakes_like_a_slow_train) {
  ChargedCab(6);
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.ebremse = true;
  TestCab().brake.bremsstufe = 2;
  TestCab().brake.bremsleitungsdruck = 450.0;
  gState.Speed = std::numeric_limits<float>::quiet_NaN();
  TestCab().brake.ebremstimer = 1;
  gState.Time = 1000;
  UBahnBremse(TestCab());
  EXPECT_EQ(TestCab().brake.bremsstufe, 3);  // no notch 5: the holding steps apply
  EXPECT_TRUE(TestCab().brake.ebremse);
  EXPECT_EQ(GetSound(kSoundStopping), SOUND_STOP);
}
