#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "supervision/vigilance.h"
#include "supervision_support.h"
#include "supervision/vigilance_record.h"

namespace {

VigilanceRecord& vig = VigilanceForTesting();

const int kLamp = 20;
const int kAlarm = 21;
const int kBrakeNotches = 8;
const int kEmergency = kBrakeNotches + 1;

// A vigilance device with lamp 20 and alarm 21 on a vehicle with 8 brake notches, supervising
// from 1000 ms on at 50 km/h.
void StartDevice(const std::vector<std::string>& extra = {}) {
  FreshCab();
  ConfigureLines(Lines({"vigilance=1", "vigilancelamp=20", "vigilancealarm=21"}, extra));
  StartArbitration(kBrakeNotches, 5);
  InitVigilance(0);
  gState.Speed = 50.0f;
  gState.Time = 1000;
  CheckVigilance();  // the timer starts here
}

void CheckAt(int32_t time, float speed = 50.0f) {
  gState.Time = time;
  gState.Speed = speed;
  CheckVigilance();
}

// Runs the device from 1000 ms to its brake with the default times (60 s, 3 s, 3 s).
void RunToBrake() {
  CheckAt(61000);
  CheckAt(64000);
  CheckAt(67000);
}

}  // namespace

TEST(Vigilance, lamp_alarm_and_emergency_brake_follow_interval_and_delays) {
  StartDevice();
  CheckAt(60999);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(GetPanel(kLamp), 0);
  CheckAt(61000);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  CheckAt(63999);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  CheckAt(64000);
  EXPECT_EQ(vig.phase, kVigilanceAlarm);
  EXPECT_EQ(GetSound(kAlarm), SOUND_LOOP);
  EXPECT_EQ(gHandles.Brake, 0);
  CheckAt(66999);
  EXPECT_EQ(vig.phase, kVigilanceAlarm);
  CheckAt(67000);
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  EXPECT_EQ(gHandles.Brake, kEmergency);
}

TEST(Vigilance, late_frames_keep_each_phase_timed_from_the_end_of_the_one_before) {
  StartDevice({"vigilancedelay1=2000"});
  CheckAt(61500);  // lamp half a second late
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  CheckAt(62999);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  CheckAt(63000);  // 2000 ms after the lamp was due, not after it was seen
  EXPECT_EQ(vig.phase, kVigilanceAlarm);
}

TEST(Vigilance, interval_follows_the_returned_power_notch_through_the_option_list) {
  const int32_t expected[] = {60000, 40000, 30000, 30000, 30000};
  for (int notch = 0; notch < 5; notch++) {
    StartDevice({"vigilanceinterval=60000,40000,30000"});
    gHandles.Power = notch;
    CheckAt(1000 + expected[notch] - 1);
    EXPECT_EQ(vig.phase, kVigilanceSupervising) << "notch " << notch;
    CheckAt(1000 + expected[notch]);
    EXPECT_EQ(vig.phase, kVigilanceLampLit) << "notch " << notch;
  }
}

TEST(Vigilance, interval_without_further_values_serves_every_notch) {
  StartDevice({"vigilanceinterval=20000"});
  gHandles.Power = 4;
  CheckAt(20999);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  CheckAt(21000);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, handle_movement_before_the_brake_puts_lamp_and_alarm_out_and_restarts) {
  StartDevice();
  CheckAt(61000);
  ASSERT_EQ(vig.phase, kVigilanceLampLit);
  gState.Time = 62000;
  VigilanceKeyPressed(3, false);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(vig.vigilance, 62000);
  CheckAt(121999);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  CheckAt(122000);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);

  CheckAt(125000);
  ASSERT_EQ(vig.phase, kVigilanceAlarm);
  gState.Time = 125500;
  VigilanceKeyPressed(0, false);  // a horn blast of type 0 counts as well
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  EXPECT_EQ(GetPanel(kLamp), 0);
}

TEST(Vigilance, handle_movement_changes_nothing_once_braking) {
  StartDevice();
  RunToBrake();
  ASSERT_EQ(vig.phase, kVigilanceBraking);
  gState.Speed = 0.0f;
  VigilanceKeyPressed(0, false);
  VigilanceKeyPressed(2, false);  // the vigilance key's number, but as a handle position
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kAlarm), SOUND_LOOP);
  EXPECT_EQ(gHandles.Brake, kEmergency);
}

TEST(Vigilance, independent_device_is_reset_by_its_key_alone) {
  StartDevice({"independentvigilance=1", "vigilancekey=7"});
  CheckAt(61000);
  ASSERT_EQ(vig.phase, kVigilanceLampLit);
  VigilanceKeyPressed(7, false);  // a handle at position 7
  VigilanceKeyPressed(1, false);
  VigilanceKeyPressed(8, true);   // another key
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  EXPECT_EQ(GetPanel(kLamp), 1);
  gState.Time = 62000;
  VigilanceKeyPressed(7, true);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(vig.vigilance, 62000);
}

TEST(Vigilance, key_releases_the_brake_at_a_standstill) {
  StartDevice();
  RunToBrake();
  ASSERT_EQ(gHandles.Brake, kEmergency);
  gState.Speed = 20.0f;
  VigilanceKeyPressed(2, true);
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  EXPECT_EQ(gHandles.Brake, kEmergency);
  gState.Speed = 0.0f;
  gState.Time = 90000;
  VigilanceKeyPressed(2, true);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  EXPECT_EQ(vig.vigilance, 90000);
}

TEST(Vigilance, cancellable_brake_is_released_by_the_key_on_the_move) {
  StartDevice({"vigilancecancellable=1"});
  RunToBrake();
  ASSERT_EQ(gHandles.Brake, kEmergency);
  gState.Speed = 20.0f;
  VigilanceKeyPressed(3, true);  // not the vigilance key
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  VigilanceKeyPressed(2, true);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(gHandles.Brake, 0);
}

TEST(Vigilance, autorelease_releases_only_at_exactly_zero_speed) {
  StartDevice({"vigilanceautorelease=1"});
  RunToBrake();
  CheckAt(70000, 0.5f);
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  CheckAt(71000, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  CheckAt(72000, 0.0f);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
}

TEST(Vigilance, brake_stays_at_a_standstill_without_autorelease) {
  StartDevice();
  RunToBrake();
  CheckAt(200000, 0.0f);
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  EXPECT_EQ(gHandles.Brake, kEmergency);
}

TEST(Vigilance, rests_within_the_inactive_speed_either_way) {
  for (float speed : {-5.0f, 0.0f, 4.9f, 5.0f}) {
    StartDevice({"vigilanceinactivespeed=5"});
    CheckAt(500000, speed);
    EXPECT_EQ(vig.phase, kVigilanceSupervising) << speed;
    EXPECT_EQ(vig.vigilance, 500000) << speed;
  }
  StartDevice({"vigilanceinactivespeed=5"});
  CheckAt(30000, 5.0f);  // rests: the interval starts again from here
  CheckAt(89999, 5.1f);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  CheckAt(90000, -5.1f);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, default_inactive_speed_rests_only_at_a_dead_stop) {
  StartDevice();
  CheckAt(200000, 0.0f);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  CheckAt(260000, 0.1f);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, speed_that_is_not_a_number_is_supervised) {
  StartDevice({"vigilanceinactivespeed=5"});
  CheckAt(61000, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  StartDevice({"vigilanceinactivespeed=5"});
  CheckAt(61000, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, negative_inactive_speed_other_than_minus_2_never_rests) {
  StartDevice({"vigilanceinactivespeed=-1"});
  CheckAt(61000, 0.0f);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, minus_2_rests_with_the_returned_reverser_neutral) {
  StartDevice({"vigilanceinactivespeed=-2"});
  gHandles.Reverser = 0;
  CheckAt(100000, 80.0f);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(vig.vigilance, 100000);
  gHandles.Reverser = -1;
  CheckAt(159999, 0.0f);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  CheckAt(160000, 0.0f);  // supervises even at a standstill
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
}

TEST(Vigilance, unwired_lamp_and_alarm_still_brake) {
  FreshCab();
  ConfigureLines({"vigilance=1"});
  StartArbitration(kBrakeNotches, 5);
  InitVigilance(0);
  CheckAt(1000);
  RunToBrake();
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  EXPECT_EQ(gHandles.Brake, kEmergency);
  for (int i = 1; i < kElementCount; i++) {  // element 0 belongs to the U-Bahn's defaults
    EXPECT_EQ(GetPanel(i), 0) << i;
    EXPECT_EQ(GetSound(i), SOUND_STOP) << i;
  }
}

TEST(Vigilance, switched_off_device_neither_supervises_nor_listens) {
  StartDevice({"vigilance=0"});
  CheckAt(500000);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(GetPanel(kLamp), 0);
  // Even a device left mid-cycle is frozen while switched off.
  vig.phase = kVigilanceAlarm;
  SetPanel(kLamp, 1);
  VigilanceKeyPressed(2, true);
  VigilanceKeyPressed(0, false);
  EXPECT_EQ(vig.phase, kVigilanceAlarm);
  EXPECT_EQ(GetPanel(kLamp), 1);
}

TEST(Vigilance, init_puts_lamp_and_alarm_out_even_when_switched_off) {
  FreshCab();
  ConfigureLines({"vigilance=0", "vigilancelamp=20", "vigilancealarm=21"});
  SetPanel(kLamp, 1);
  SetSound(kAlarm, SOUND_LOOP);
  vig.vigilance = 1234;
  vig.phase = kVigilanceBraking;
  InitVigilance(0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  EXPECT_EQ(vig.vigilance, 0);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
}

TEST(Vigilance, vehicle_claiming_the_largest_brake_notch_does_not_overflow) {
  FreshCab();
  ConfigureLines({"vigilance=1", "vigilanceinterval=1000", "vigilancedelay1=0", "vigilancedelay2=0"});
  DestroyHandles();  // no demand tables for such a vehicle
  gTrainspecs = ATS_VEHICLESPEC{INT32_MAX, INT32_MAX, 0, 0, 1};
  InitVigilance(0);
  CheckAt(1000);
  CheckAt(2000);
  CheckAt(2000);
  CheckAt(2000);
  EXPECT_EQ(vig.phase, kVigilanceBraking);
  gState.Speed = 0.0f;
  VigilanceKeyPressed(2, true);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
}
