#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "supervision/speedcontrol.h"
#include "supervision/speedcontrol_record.h"
#include "supervision_support.h"

namespace {

SpeedControlRecord& sc = SpeedControlForTesting();

const int kLamp = 30;
const int kAlarm = 31;
const int kBrakeNotches = 8;

// Overspeed control warning at 80, braking at 90 and releasing at 70 km/h, lamp 30, alarm 31.
void StartControl(const std::vector<std::string>& thresholds = {"warningspeed=80", "overspeed=90",
                                                                 "safespeed=70"}) {
  FreshCab();
  ConfigureLines(Lines({"overspeedcontrol=1", "overspeedindicator=30", "overspeedalarm=31"}, thresholds));
  StartArbitration(kBrakeNotches, 5);
  InitSpeedControl(0);
}

}  // namespace

TEST(OverspeedControl, warns_at_85_brakes_at_90_holds_at_75_releases_at_70) {
  StartControl();
  CheckSpeed(85.0f);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kAlarm), SOUND_LOOP);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_STOP);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);

  CheckSpeed(90.0f);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_PLAY);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);  // full service, not the emergency notch
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);

  CheckSpeed(75.0f);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kAlarm), SOUND_LOOP);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);

  CheckSpeed(70.0f);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  EXPECT_EQ(gHandles.Brake, 0);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(sc.scSpeed, 70);
}

TEST(OverspeedControl, acts_only_when_the_whole_speed_changes) {
  StartControl();
  CheckSpeed(85.2f);
  EXPECT_EQ(sc.scSpeed, 85);
  SetPanel(kLamp, 0);  // a later write of the lamp's element
  CheckSpeed(85.9f);
  EXPECT_EQ(GetPanel(kLamp), 0);
  CheckSpeed(86.0f);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(sc.scSpeed, 86);
}

TEST(OverspeedControl, thresholds_are_whole_km_h_truncated) {
  StartControl();
  CheckSpeed(89.99f);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(sc.scSpeed, 89);
  CheckSpeed(90.0f);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);
  CheckSpeed(70.99f);  // whole speed 70: at the safe speed
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(GetPanel(kLamp), 0);
}

TEST(OverspeedControl, running_backward_counts_the_magnitude_and_acts_every_call) {
  StartControl();
  CheckSpeed(-95.0f);
  EXPECT_EQ(sc.scSpeed, 95);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);
  SetPanel(kLamp, 0);
  SetSound(kSoundOverspeedBrake, SOUND_STOP);
  CheckSpeed(-95.0f);  // truncated -95 is never the stored 95
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_STOP);
  CheckSpeed(-69.5f);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(gHandles.Brake, 0);
}

TEST(OverspeedControl, brake_sound_and_demand_happen_once_per_braking) {
  StartControl();
  CheckSpeed(91.0f);
  ASSERT_EQ(GetSound(kSoundOverspeedBrake), SOUND_PLAY);
  SetSound(kSoundOverspeedBrake, SOUND_STOP);
  CheckSpeed(96.0f);
  CheckSpeed(120.0f);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_STOP);
  // One release undoes the braking: only one demand was placed.
  CheckSpeed(60.0f);
  EXPECT_EQ(gHandles.Brake, 0);
  // A second overspeed brakes again, with its sound.
  CheckSpeed(92.0f);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_PLAY);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);
}

TEST(OverspeedControl, default_warning_speed_lights_on_every_change_unless_safe) {
  StartControl({});  // warning -1, overspeed 1000, safe 0
  CheckSpeed(0.7f);  // whole speed 0 as stored: nothing
  EXPECT_EQ(GetPanel(kLamp), 0);
  CheckSpeed(5.0f);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(GetSound(kAlarm), SOUND_LOOP);
  CheckSpeed(0.0f);  // lit and put out again in the same call
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kAlarm), SOUND_STOP);
  EXPECT_EQ(gHandles.Brake, 0);
}

TEST(OverspeedControl, switched_off_control_does_nothing) {
  StartControl({"overspeedcontrol=0"});
  CheckSpeed(150.0f);
  EXPECT_EQ(sc.scSpeed, 0);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(GetPanel(kLamp), 0);
  EXPECT_EQ(GetSound(kSoundOverspeedBrake), SOUND_STOP);
  EXPECT_EQ(gHandles.Brake, 0);
}

TEST(OverspeedControl, speed_that_is_not_a_number_leaves_everything_as_it_is) {
  StartControl();
  CheckSpeed(95.0f);
  ASSERT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);
  CheckSpeed(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(sc.scSpeed, 95);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);
}

TEST(OverspeedControl, infinite_and_huge_speeds_count_as_overspeed) {
  const float speeds[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                          3.0e9f, -3.0e9f, 2147483648.0f, -2147483648.0f,
                          std::numeric_limits<float>::max()};
  for (float speed : speeds) {
    StartControl();
    CheckSpeed(speed);
    EXPECT_EQ(sc.scSpeed, INT32_MAX) << speed;
    EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeApplied) << speed;
    CheckSpeed(10.0f);
    EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff) << speed;
  }
}

TEST(OverspeedControl, acts_again_only_when_the_truncated_speed_differs_from_the_kept_whole_speed) {
  // The kept whole speed has no sign, so a speed backwards acts on every call.
  struct Row {
    float first, second;
    bool actsAgain;
  };
  const Row rows[] = {
      {95.0f, 95.9f, false},
      {95.0f, 96.0f, true},
      {2147483520.0f, 2147483520.0f, false},  // the largest float below 2^31
      {3.0e9f, 4.0e9f, false},                // both beyond the range: its end
      {-3.0e9f, -3.0e9f, true},
      {-95.5f, -95.2f, true},
  };
  for (const Row& row : rows) {
    StartControl();
    CheckSpeed(row.first);
    SetPanel(kLamp, 7);
    CheckSpeed(row.second);
    EXPECT_EQ(GetPanel(kLamp), row.actsAgain ? 1 : 7) << row.first << " then " << row.second;
  }
}

TEST(OverspeedControl, init_forgets_speed_and_braking_without_touching_demands) {
  StartControl();
  CheckSpeed(95.0f);
  ASSERT_EQ(gHandles.Brake, kBrakeNotches);
  InitSpeedControl(0);
  EXPECT_EQ(sc.scSpeed, 0);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);  // only the restart of the handles clears it
  CheckSpeed(60.0f);  // nothing to release any more
  EXPECT_EQ(gHandles.Brake, kBrakeNotches);
}
