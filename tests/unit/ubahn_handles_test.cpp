// Handle arbitration, the demand tables, the driver's handles, the drive button and the reverser.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "ubahn_cab_setup.h"
#include "cab/handles_testing.h"

// ---- Arbitration ----

TEST(HandleArbitration, brake_is_the_highest_notch_in_force_and_negative_counts_are_not) {
  StartCab();
  OperateBrake(9, false);  // a withdrawal nobody asked for: count -1
  OperateBrake(3, true);
  EXPECT_EQ(BrakeCount(9), -1);
  EXPECT_EQ(gHandles.Brake, 3);
  OperateBrake(9, true);  // back to 0: still not in force
  EXPECT_EQ(gHandles.Brake, 3);
  OperateBrake(9, true);
  EXPECT_EQ(gHandles.Brake, 9);
}

TEST(HandleArbitration, withdrawing_every_demand_keeps_the_last_handle_value) {
  StartCab();
  OperateBrake(4, true);
  OperateBrake(0, false);  // the driver's initial demand
  EXPECT_EQ(gHandles.Brake, 4);
  OperateBrake(4, false);
  EXPECT_EQ(BrakeCount(4), 0);
  EXPECT_EQ(gHandles.Brake, 4);

  OperatePower(3, true);
  OperatePower(0, false);
  EXPECT_EQ(gHandles.Power, 3);
  OperatePower(3, false);
  EXPECT_EQ(gHandles.Power, 3);
}

TEST(HandleArbitration, power_is_the_lowest_notch_in_force) {
  StartCab();
  OperatePower(0, false);
  OperatePower(6, true);
  OperatePower(2, true);
  EXPECT_EQ(gHandles.Power, 2);
  OperatePower(2, false);
  EXPECT_EQ(gHandles.Power, 6);
  OperatePower(0, true);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST(HandleArbitration, reverser_prefers_neutral_then_forward_then_reverse) {
  StartCab();
  gOpts[OPT_effectivervrindex].value = kPanelEffectiveReverser;
  OperateReverser(-1, true);
  OperateReverser(1, true);
  EXPECT_EQ(gHandles.Reverser, 0);  // the driver's neutral demand from the start
  OperateReverser(0, false);
  EXPECT_EQ(gHandles.Reverser, 1);
  EXPECT_EQ(GetPanel(kPanelEffectiveReverser), 1);
  OperateReverser(1, false);
  EXPECT_EQ(gHandles.Reverser, -1);
  EXPECT_EQ(GetPanel(kPanelEffectiveReverser), 2);
  OperateReverser(-1, false);  // nothing in force: keeps reverse
  EXPECT_EQ(gHandles.Reverser, -1);
}

// A further system with a set of its own: a withdrawal in the common set cannot cancel its
// demands, a notch stays in force while any set demands it, and a new start drops the set.
TEST(HandleArbitration, a_set_of_its_own_holds_a_system_demands_whatever_the_common_set_does) {
  StartCab();
  GiveOwnDemands(SYS_PZB90);
  OperateBrake(9, false);  // the common set's withdrawal nobody asked for: count -1
  UseDemandsOf(SYS_PZB90);
  OperateBrake(9, true);
  OperateBrake(5, true);
  OperateReverser(1, true);
  OperatePower(2, true);
  EXPECT_EQ(gHandles.Brake, 9);
  EXPECT_EQ(gHandles.Reverser, 0);  // the driver's neutral in the common set comes first
  EXPECT_EQ(gHandles.Power, 0);     // the driver's notch 0 is the lowest
  EXPECT_EQ(BrakeCount(9), -1);

  UseDemandsOf(SYS_SHELL);
  OperateBrake(9, true);
  OperateBrake(9, true);  // now both sets demand the emergency notch
  UseDemandsOf(SYS_PZB90);
  OperateBrake(9, false);
  EXPECT_EQ(gHandles.Brake, 9);
  UseDemandsOf(SYS_SHELL);
  OperateBrake(9, false);
  EXPECT_EQ(gHandles.Brake, 5);  // the system's own notch 5 stands
  OperateReverser(0, false);
  EXPECT_EQ(gHandles.Reverser, 1);
  OperatePower(0, false);
  EXPECT_EQ(gHandles.Power, 2);

  // Given again within the run, the set keeps what the system placed; the shell and the U-Bahn
  // cab get none and keep counting in the common set.
  GiveOwnDemands(SYS_PZB90);
  GiveOwnDemands(SYS_SHELL);
  GiveOwnDemands(SYS_UBAHN);
  UseDemandsOf(SYS_PZB90);
  OperateBrake(5, false);
  EXPECT_EQ(gHandles.Brake, 0);  // its one demand at 5 withdrawn: the driver's 0 is left
  for (CabSystem system : {SYS_SHELL, SYS_UBAHN}) {
    UseDemandsOf(system);
    OperateBrake(3, true);
  }
  EXPECT_EQ(BrakeCount(3), 2);

  InitHandles();
  UseDemandsOf(SYS_PZB90);  // no set of its own any more: the common set counts
  OperateBrake(4, true);
  UseDemandsOf(SYS_SHELL);
  EXPECT_EQ(BrakeCount(4), 1);
  EXPECT_EQ(gHandles.Brake, 4);
}

TEST(HandleArbitration, out_of_range_notches_and_positions_change_no_count) {
  StartCab();
  for (int bad : {-1, 10, INT_MAX, INT_MIN}) {
    OperateBrake(bad, true);
    OperatePower(bad == 10 ? 9 : bad, true);
  }
  for (int bad : {2, -2, INT_MAX, INT_MIN}) OperateReverser(bad, true);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(gHandles.Reverser, 0);
  EXPECT_EQ(ReverserDemandCount(-1), 0);
  EXPECT_EQ(ReverserDemandCount(0), 1);
  EXPECT_EQ(ReverserDemandCount(1), 0);
  for (int n = 1; n <= 9; n++) EXPECT_EQ(BrakeCount(n), 0) << n;
  for (int n = 1; n <= 8; n++) EXPECT_EQ(PowerCount(n), 0) << n;
}

TEST(HandleArbitration, traction_interlock_holds_power_at_0_until_the_power_handle_moves) {
  StartCab();
  gOpts[OPT_tractioninterlock].value = 1;
  SetPowerHandle(3);
  EXPECT_EQ(gHandles.Power, 3);
  SetBrakeHandle(2);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_TRUE(TractionInterlockHolds());
  SetBrakeHandle(0);
  OperatePower(5, true);  // any power demand is still answered with 0
  OperatePower(5, false);
  EXPECT_EQ(gHandles.Power, 0);
  SetPowerHandle(4);  // moved away from 3, not from 0: the interlock stays
  EXPECT_EQ(gHandles.Power, 0);
  SetPowerHandle(0);  // back to 0 clears it
  EXPECT_FALSE(TractionInterlockHolds());
  SetPowerHandle(2);
  EXPECT_EQ(gHandles.Power, 2);
}

TEST(HandleArbitration, brake_at_notch_0_does_not_set_the_traction_interlock) {
  StartCab();
  gOpts[OPT_tractioninterlock].value = 1;
  SetPowerHandle(3);
  SetBrakeHandle(0);
  EXPECT_FALSE(TractionInterlockHolds());
  EXPECT_EQ(gHandles.Power, 3);
}

TEST(HandleArbitration, without_the_interlock_option_braking_leaves_power_alone) {
  StartCab();
  SetPowerHandle(3);
  SetBrakeHandle(2);
  EXPECT_TRUE(TractionInterlockHolds());
  EXPECT_EQ(gHandles.Power, 3);
  EXPECT_EQ(gHandles.Brake, 2);
}

// ---- Demand tables ----

TEST(DemandTables, are_absent_before_the_first_start_and_operations_do_nothing) {
  DestroyTrainControl();
  ASSERT_FALSE(PowerDemandTableMade());
  ASSERT_FALSE(BrakeDemandTableMade());
  gHandles = ATS_HANDLES{7, 5, 0, 0};
  OperateBrake(1, true);
  OperatePower(1, true);
  EXPECT_EQ(gHandles.Brake, 7);
  EXPECT_EQ(gHandles.Power, 5);
}

TEST(DemandTables, follow_the_vehicle_at_every_start) {
  StartCab(4, 2);
  OperateBrake(5, true);  // the emergency notch of a four-notch vehicle
  EXPECT_EQ(gHandles.Brake, 5);
  OperateBrake(6, true);
  EXPECT_EQ(gHandles.Brake, 5);
  OperatePower(3, true);
  OperatePower(2, true);
  OperatePower(0, false);
  EXPECT_EQ(gHandles.Power, 2);

  StartCab(8, 8);  // a new start forgets every demand
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(BrakeCount(5), 0);
  EXPECT_EQ(BrakeCount(0), 1);
  EXPECT_EQ(PowerCount(0), 1);
}

TEST(DemandTables, a_vehicle_with_negative_notches_gets_no_table_and_nothing_breaks) {
  StartCab(-3, -1);
  EXPECT_FALSE(BrakeDemandTableMade());
  EXPECT_FALSE(PowerDemandTableMade());
  gHandles.Brake = 2;
  gHandles.Power = 1;
  SetBrakeHandle(1);
  SetPowerHandle(3);
  OperateBrake(0, true);
  for (int key = 0; key < 20; key++) {
    FahrschalterAuf(TestCab(), key);
    FahrschalterAb(TestCab(), key);
    BremsschalterBremsen(TestCab(), key);
  }
  SifaFestbremsen(TestCab());
  UBahnBremse(TestCab());
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Brake, 2);
  EXPECT_EQ(gHandles.Power, 1);
}

TEST(DemandTables, an_absurdly_large_vehicle_gets_no_table_and_no_huge_allocation) {
  for (int notches : {INT_MAX, INT_MAX - 1, 2000000}) {
    StartCab(notches, notches);
    EXPECT_FALSE(BrakeDemandTableMade()) << notches;
    EXPECT_FALSE(PowerDemandTableMade()) << notches;
    OperateBrake(1, true);
    SetReverserHandle(0);
    FahrschalterAuf(TestCab(), kKeyFahrschalterAuf);  // withdraws at the emergency notch
    SifaFestbremsen(TestCab());
    UBahnBremse(TestCab());
    EXPECT_EQ(gHandles.Brake, 0);
  }
  EXPECT_EQ(EmergencyBrakeNotch(), 2000001);
  gTrainspecs.BrakeNotches = INT_MAX;
  EXPECT_EQ(EmergencyBrakeNotch(), -1);
}

TEST(DemandTables, a_vehicle_grown_after_the_start_cannot_reach_past_its_tables) {
  StartCab(4, 2);
  gTrainspecs = ATS_VEHICLESPEC{500, 500, 0, 0, 3};
  OperateBrake(400, true);
  OperatePower(400, true);
  OperatePower(0, false);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(gHandles.Power, 0);
  OperateBrake(5, true);  // the old emergency notch is still the table's top
  EXPECT_EQ(gHandles.Brake, 5);
}

TEST(DemandTables, a_vehicle_shrunk_after_the_start_answers_within_its_new_notches) {
  StartCab(8, 8);
  OperateBrake(7, true);
  OperatePower(0, false);
  OperatePower(5, true);
  ASSERT_EQ(gHandles.Brake, 7);
  ASSERT_EQ(gHandles.Power, 5);
  gTrainspecs = ATS_VEHICLESPEC{4, 3, 0, 0, 3};
  OperateBrake(3, true);  // notch 7 is past the new emergency notch 5
  EXPECT_EQ(gHandles.Brake, 3);
  OperatePower(1, true);
  EXPECT_EQ(gHandles.Power, 1);
  OperatePower(1, false);  // what is left, notch 5, is past the new top notch 3
  EXPECT_EQ(gHandles.Power, 1);
}

// A demand held at its notch (moved from a notch to the same one) sets the handle again only
// when the vehicle, as it is described now, names the notch; -7 marks a handle left alone.
TEST(DemandTables, a_held_demand_answers_within_the_notches_the_vehicle_names_now) {
  struct Row {
    int notches;  // brake or power notches the vehicle claims after the start (8 at the start)
    int held;     // the notch held
    int handle;   // the handle afterwards
  };
  const Row brakeRows[] = {{8, 9, 7},  {8, 10, -7},      {8, -1, -7},      {5, 6, 0},
                           {5, 7, -7}, {-2, 0, -7},      {-3, 0, -7},      {INT_MAX, 9, 7},
                           {INT_MAX, 10, -7}};
  for (const Row& row : brakeRows) {
    StartCab(8, 8);
    OperateBrake(7, true);
    gTrainspecs.BrakeNotches = row.notches;
    gHandles.Brake = -7;
    MoveBrakeDemand(row.held, row.held);
    EXPECT_EQ(gHandles.Brake, row.handle) << row.notches << " " << row.held;
  }
  const Row powerRows[] = {{8, 8, 5}, {8, 9, -7}, {5, 5, 5}, {5, 6, -7}, {-1, 0, -7}, {INT_MAX, 8, 5}, {INT_MAX, 9, -7}};
  for (const Row& row : powerRows) {
    StartCab(8, 8);
    OperatePower(0, false);
    OperatePower(5, true);
    gTrainspecs.PowerNotches = row.notches;
    gHandles.Power = -7;
    MovePowerDemand(row.held, row.held);
    EXPECT_EQ(gHandles.Power, row.handle) << row.notches << " " << row.held;
  }
}

TEST(DemandTables, are_released_by_destroy_and_made_again_by_init) {
  StartCab();
  DestroyTrainControl();
  EXPECT_FALSE(PowerDemandTableMade());
  EXPECT_FALSE(BrakeDemandTableMade());
  InitTrainControl(0);
  ASSERT_TRUE(BrakeDemandTableMade());
  EXPECT_EQ(BrakeCount(0), 1);
  EXPECT_EQ(ReverserDemandCount(0), 1);
}

// ---- The driver's handles ----

TEST(DriverHandles, brake_handle_moves_its_one_demand) {
  StartCab();
  SetBrakeHandle(5);
  EXPECT_EQ(gHandles.Brake, 5);
  EXPECT_EQ(BrakeCount(0), 0);
  SetBrakeHandle(2);
  EXPECT_EQ(BrakeCount(5), 0);
  EXPECT_EQ(gHandles.Brake, 2);
  EXPECT_EQ(gDriver.Brake, 2);
}

TEST(DriverHandles, an_out_of_range_brake_handle_is_remembered_but_places_nothing) {
  StartCab();
  SetBrakeHandle(INT_MAX);
  EXPECT_EQ(gDriver.Brake, INT_MAX);
  EXPECT_EQ(gHandles.Brake, 0);  // the withdrawn demand at 0 leaves nothing in force
  SetBrakeHandle(3);
  EXPECT_EQ(gHandles.Brake, 3);
}

// The host repeats a handle position it reported before: out of range, or on a vehicle without
// demand tables, the repeat places nothing either.
TEST(DriverHandles, a_handle_repeated_out_of_range_or_without_tables_places_nothing) {
  for (int notches : {8, -1}) {
    StartCab(notches, notches);
    for (int bad : {-1, 10}) {
      SetBrakeHandle(bad);
      SetBrakeHandle(bad);
      SetPowerHandle(bad);
      SetPowerHandle(bad);
    }
    EXPECT_EQ(gHandles.Brake, 0) << notches;
    EXPECT_EQ(gHandles.Power, 0) << notches;
    if (!BrakeDemandTableMade()) continue;
    for (int n = 1; n <= 9; n++) EXPECT_EQ(BrakeCount(n), 0) << n;
    for (int n = 1; n <= 8; n++) EXPECT_EQ(PowerCount(n), 0) << n;
  }
}

TEST(DriverHandles, power_handle_places_no_demand_when_a_drive_button_is_fitted) {
  StartCab();
  gOpts[OPT_speedselectorkey].value = kDriveButton;
  SetPowerHandle(5);
  EXPECT_EQ(gDriver.Power, 5);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(PowerCount(5), 0);
}

TEST(DriverHandles, neutral_reverser_brake_stands_at_the_last_service_notch_exactly_while_neutral) {
  StartCab();
  gOpts[OPT_neutralrvrbrake].value = 1;
  SetReverserHandle(1);  // nothing placed yet: nothing to withdraw
  EXPECT_EQ(BrakeCount(8), 0);
  EXPECT_EQ(gHandles.Brake, 0);
  SetReverserHandle(0);
  EXPECT_EQ(BrakeCount(8), 1);
  EXPECT_EQ(gHandles.Brake, 8);
  SetReverserHandle(0);  // a second neutral moves nothing
  EXPECT_EQ(BrakeCount(8), 1);
  SetReverserHandle(-1);
  EXPECT_EQ(BrakeCount(8), 0);
}

TEST(DriverHandles, neutral_reverser_brake_mode_2_uses_the_emergency_notch) {
  StartCab();
  gOpts[OPT_neutralrvrbrake].value = 2;
  SetReverserHandle(0);
  EXPECT_EQ(BrakeCount(9), 1);
  EXPECT_EQ(gHandles.Brake, 9);
}

TEST(DriverHandles, reverser_control_1_ignores_direction_while_moving_but_takes_neutral) {
  StartCab();
  gOpts[OPT_reversercontrol].value = 1;
  SetReverserHandle(1);  // standing: accepted
  EXPECT_EQ(gDriver.Reverser, 1);
  gState.Speed = 0.5f;
  SetReverserHandle(-1);
  EXPECT_EQ(gDriver.Reverser, 1);
  SetReverserHandle(0);
  EXPECT_EQ(gDriver.Reverser, 0);
  gState.Speed = std::numeric_limits<float>::quiet_NaN();  // counts as moving
  SetReverserHandle(1);
  EXPECT_EQ(gDriver.Reverser, 0);
}

TEST(DriverHandles, reverser_control_2_holds_neutral_when_thrown_while_moving) {
  StartCab();
  gOpts[OPT_reversercontrol].value = 2;
  SetReverserHandle(0);
  SetReverserHandle(1);
  EXPECT_EQ(gHandles.Reverser, 1);
  gState.Speed = -3.0f;
  SetReverserHandle(-1);
  EXPECT_EQ(gHandles.Reverser, 0);
  gState.Speed = 0.0f;
  SetReverserHandle(1);
  EXPECT_EQ(gHandles.Reverser, 0);  // nothing withdraws the held neutral
}

// ---- Drive button ----

// The cab ready to drive with the drive button: position 4 forward, brake controller 1,
// pipe at 495 kPa, doors closed, standing.
static void ReadyToDrive() {
  StartCab();
  gOpts[OPT_speedselectorkey].value = kDriveButton;
  gOpts[OPT_fahrtastersound].value = kSoundDriveButton;
  TestCab().master.fahrschalter = 4;
  TestCab().master.VMax = 25;
  TestCab().master.richtung = kRichtungVorwaerts;
  TestCab().brake.bremsschalter = 1;
  TestCab().brake.bremsleitungsdruck = 495.0;
  TestCab().doors.tueren_geschlossen = true;
}

TEST(DriveButton, takes_the_notch_of_the_position_and_plays_the_starting_sound_once) {
  ReadyToDrive();
  TrainControlKeyPressed(TestCab(), kDriveButton);
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 5);
  EXPECT_EQ(GetSound(75), SOUND_PLAY);
  Load();
  gState.Speed = 1.0f;
  TrainControl(TestCab());
  EXPECT_EQ(GetSound(75), SOUND_STOP);
  TestCab().master.fahrschalter = 5;  // a higher step while driving: new notch, no new starting sound
  TestCab().master.VMax = 50;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 6);
  EXPECT_EQ(GetSound(75), SOUND_STOP);
}

TEST(DriveButton, is_cut_above_the_speed_limit_and_takes_power_again_below_it) {
  ReadyToDrive();
  TrainControlKeyPressed(TestCab(), kDriveButton);
  gState.Speed = 25.5f;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(TestCab().control.speedSelectorSetting, 0);
  gState.Speed = -25.0f;  // the limit itself is allowed, in either direction
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 5);
}

TEST(DriveButton, gives_no_starting_sound_at_exactly_2_kmh) {
  for (float speed : {2.0f, -2.0f}) {
    ReadyToDrive();
    gState.Speed = speed;
    TrainControlKeyPressed(TestCab(), kDriveButton);
    TrainControl(TestCab());
    EXPECT_EQ(gHandles.Power, 5);
    EXPECT_EQ(GetSound(75), SOUND_STOP) << speed;
  }
}

TEST(DriveButton, gives_no_power_with_doors_open_pipe_low_or_brake_controller_off_1) {
  ReadyToDrive();
  TrainControlKeyPressed(TestCab(), kDriveButton);
  TestCab().doors.tueren_geschlossen = false;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
  TestCab().doors.tueren_geschlossen = true;
  TestCab().brake.bremsleitungsdruck = 490.0;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
  TestCab().brake.bremsleitungsdruck = 495.0;
  TestCab().brake.bremsschalter = 2;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
  TestCab().brake.bremsschalter = 1;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 5);
  TrainControlKeyReleased(TestCab(), kDriveButton);
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
}

TEST(DriveButton, in_neutral_from_load_is_cut_at_any_motion) {
  ReadyToDrive();
  TestCab().master.fahrschalter = 2;
  TestCab().master.VMax = 0;
  TrainControlKeyPressed(TestCab(), kDriveButton);
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 3);  // standing: the limit 0 holds
  gState.Speed = 0.1f;
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 0);
}

TEST(DriveButton, infinite_speed_cuts_the_power) {
  ReadyToDrive();
  TrainControlKeyPressed(TestCab(), kDriveButton);
  for (float speed : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()}) {
    gState.Speed = speed;
    TrainControl(TestCab());
    EXPECT_EQ(gHandles.Power, 0);
  }
}

TEST(DriveButton, speed_that_is_not_a_number_is_not_above_the_limit_and_keeps_the_power) {
  ReadyToDrive();
  TrainControlKeyPressed(TestCab(), kDriveButton);
  gState.Speed = std::numeric_limits<float>::quiet_NaN();
  TrainControl(TestCab());
  EXPECT_EQ(gHandles.Power, 5);
  EXPECT_TRUE(TestCab().control.speedSelectorEngaged);
  EXPECT_EQ(GetSound(75), SOUND_STOP);  // not between -2 and 2: no starting sound
}

TEST(DriveButton, press_and_release_click_and_show_the_button_picture) {
  ReadyToDrive();
  TestCab().master.SifaKey = true;
  TrainControlKeyPressed(TestCab(), kDriveButton);
  EXPECT_EQ(GetSound(kSoundDriveButton), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kPanelDriveWithSifa), 1);
  EXPECT_EQ(GetPanel(kPanelDriveWithoutSifa), 0);
  Load();
  TrainControlKeyPressed(TestCab(), kDriveButton);  // key repeat: no second click
  EXPECT_EQ(GetSound(kSoundDriveButton), SOUND_STOP);
  TestCab().master.SifaKey = false;
  TrainControlKeyPressed(TestCab(), kDriveButton);
  EXPECT_EQ(GetPanel(kPanelDriveWithoutSifa), 1);
  EXPECT_EQ(GetPanel(kPanelDriveWithSifa), 0);
  TrainControlKeyReleased(TestCab(), kDriveButton);
  EXPECT_EQ(GetSound(kSoundDriveButton), SOUND_PLAY);
  EXPECT_EQ(GetPanel(kPanelDriveWithoutSifa), 0);
  EXPECT_FALSE(TestCab().control.speedSelectorKey);
  EXPECT_FALSE(TestCab().control.fahrschalterAn);
}

TEST(DriveButton, no_key_number_presses_a_drive_button_that_is_not_fitted) {
  StartCab();
  gOpts[OPT_fahrtastersound].value = kSoundDriveButton;
  TrainControlKeyPressed(TestCab(), -1);
  EXPECT_FALSE(TestCab().control.speedSelectorKey);
  EXPECT_EQ(GetSound(kSoundDriveButton), SOUND_STOP);
}

TEST(StartMessage, shows_until_power_is_first_taken_and_never_again) {
  StartCab();
  TrainControl(TestCab());
  EXPECT_EQ(GetPanel(kPanelStartMessage), 1);
  SetPowerHandle(1);
  TrainControl(TestCab());
  EXPECT_EQ(GetPanel(kPanelStartMessage), 0);
  SetPowerHandle(0);
  DestroyTrainControl();
  InitTrainControl(0);
  TrainControl(TestCab());
  EXPECT_EQ(GetPanel(kPanelStartMessage), 0);
}

// ---- Reverser ----

TEST(UBahnReverser, follows_the_direction_except_in_brake_position_7) {
  StartCab();
  TestCab().master.richtung = kRichtungVorwaerts;
  UBahnReverser(TestCab());
  EXPECT_EQ(gHandles.Reverser, 1);
  TestCab().master.richtung = kRichtungRueckwaerts;
  TestCab().brake.bremsschalter = 7;
  UBahnReverser(TestCab());
  EXPECT_EQ(gHandles.Reverser, 1);
  TestCab().brake.bremsschalter = 6;
  UBahnReverser(TestCab());
  EXPECT_EQ(gHandles.Reverser, -1);
}

// ---- Start state ----

TEST(TrainControlStart, puts_the_cab_into_its_start_state_and_keeps_what_survives_a_restart) {
  StartCab();
  TestCab().master.fahrschalter = 5;
  TestCab().master.richtung = kRichtungVorwaerts;
  TestCab().master.VMax = 50;
  TestCab().master.sifaAn = true;
  TestCab().brake.bremsschalter = 6;
  TestCab().brake.bremsstufe = 4;
  TestCab().brake.festhaltebremse = true;
  TestCab().brake.ebremse = true;
  TestCab().brake.luftbremse = false;
  TestCab().brake.bremsleitungsdruck = 450.0;
  TestCab().brake.druck_hilfsvariable = 450.0;
  TestCab().brake.fuellleitungsdruck = 470.0;
  TestCab().brake.fuellleitungsdruck_hilf = 470.0;
  TestCab().brake.anhaltesound = true;
  gState.Time = 55555;
  gState.Location = 1234.9;
  gState.Speed = 20.0f;
  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  DestroyTrainControl();
  InitTrainControl(0);

  EXPECT_EQ(TestCab().master.fahrschalter, 2);
  EXPECT_EQ(TestCab().master.richtung, kRichtungNeutral);
  EXPECT_NE(TestCab().master.richtung, kRichtungVorwaerts);
  EXPECT_EQ(TestCab().brake.bremsschalter, 0);
  EXPECT_EQ(TestCab().brake.bremsstufe, 0);
  EXPECT_FALSE(TestCab().brake.festhaltebremse);
  EXPECT_FALSE(TestCab().brake.ebremse);
  EXPECT_TRUE(TestCab().brake.luftbremse);
  EXPECT_EQ(TestCab().brake.bremsleitungsdruck, 300.0);
  EXPECT_EQ(TestCab().brake.druck_hilfsvariable, 300.0);
  EXPECT_EQ(TestCab().brake.fuellleitungsdruck, 500.0);
  EXPECT_EQ(TestCab().brake.fuellleitungsdruck_hilf, 470.0);  // kept
  EXPECT_EQ(TestCab().master.VMax, 50);                        // kept
  EXPECT_TRUE(TestCab().master.sifaAn);                        // kept
  EXPECT_TRUE(TestCab().brake.anhaltesound);                  // kept
  EXPECT_EQ(TestCab().brake.luftbremstimer2, 55555);
  EXPECT_EQ(TestCab().tripStop.nulllage, 1234.0);
  EXPECT_TRUE(TestCab().doors.tueren_geschlossen);
  // The neutral throw at 20 km/h tripped the trip stop on the way.
  EXPECT_NE(TestCab().tripStop.fahrsperre, kFahrsperreScharf);
  EXPECT_EQ(GetPanel(kPanelTripStop), 1);
  EXPECT_EQ(GetPanel(kPanelStartMessage), 0);
}

TEST(TrainControlStart, a_location_beyond_the_integer_range_or_not_a_number_gives_a_sane_zero_point) {
  StartCab();
  gState.Location = std::numeric_limits<double>::quiet_NaN();
  InitTrainControl(0);
  EXPECT_EQ(TestCab().tripStop.nulllage, 0.0);
  gState.Location = -1e300;
  InitTrainControl(0);
  EXPECT_EQ(TestCab().tripStop.nulllage, static_cast<double>(INT32_MIN));
  gState.Location = -7.9;
  InitTrainControl(0);
  EXPECT_EQ(TestCab().tripStop.nulllage, -7.0);
}

// ---- Absurd input from the host ----

TEST(DrivingControlsRobustness, absurd_keys_notches_speeds_and_times_give_handles_in_range) {
  SetConfigPathOverride("/nonexistent/velmora-drive-test.cfg");  // the defaults
  Load();
  SetVehicleSpec(ATS_VEHICLESPEC{8, 8, 1, 6, 4});
  Initialize(INT_MIN);
  SetConfigPathOverride(nullptr);
  int panel[256] = {};
  int sound[256] = {};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float speeds[] = {nan, inf, -inf, 1e30f, -1e30f, 0.0f, -0.0f, 7.0f};
  const int numbers[] = {INT_MIN, -2, -1, 0, 1, 5, 6, 7, 9, 10, 13, 14, 15, 16, INT_MAX};
  int32_t time = INT_MAX - 200;  // the host's clock wraps during the run
  for (float speed : speeds) {
    for (int n : numbers) {
      KeyDown(n);
      SetBrake(n);
      SetPower(n);
      SetReverser(n);
      ATS_VEHICLESTATE state = {};
      state.Speed = speed;
      state.Time = time;
      state.Location = speed;
      time = static_cast<int32_t>(static_cast<uint32_t>(time) + 50u);
      ATS_HANDLES h = Elapse(state, panel, sound);
      EXPECT_GE(h.Brake, 0);
      EXPECT_LE(h.Brake, 9);
      EXPECT_GE(h.Power, 0);
      EXPECT_LE(h.Power, 8);
      EXPECT_GE(h.Reverser, -1);
      EXPECT_LE(h.Reverser, 1);
      KeyUp(n);
    }
  }
  EXPECT_GE(TestCab().brake.bremsleitungsdruck, 0.0);
  EXPECT_LE(TestCab().brake.bremsleitungsdruck, 500.0);
  Dispose();
}
