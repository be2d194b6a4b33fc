// The U-Bahn driving controls on the built library: departure with the drive button, braking in
// every brake controller position, Sifa forced braking and its release, and a stop held by the
// holding brake.
#include <string>

#include "e2e_fixture.h"

namespace {

// Keys of the cab.
const int kKeyUp = 5;
const int kKeyNeutral = 7;
const int kKeyHolding = 13;
const int kKeyBrakeRelease = 14;
const int kKeyBrakeApply = 15;
const int kKeySifa = 30;
const int kKeyDrive = 31;

// Panel elements as the configuration below wires them.
const int kPanelPosition = 10;
const int kPanelBrake1 = 11;
const int kPanelBrake2 = 12;
const int kPanelHoldingButton = 13;
const int kPanelE4 = 14;
const int kPanelBrakeLamp = 15;
const int kPanelNotch = 16;
const int kPanelPipe = 17;
const int kPanelSupply = 18;

// Fixed sound elements of the controls.
const int kSoundEmergencyVenting = 1;
const int kSoundFilling = 8;
const int kSoundStarting = 75;
const int kSoundStopping = 76;
const int kSoundSifaWarning = 78;

const char kDrivingConfig[] =
    "sifakey=30\n"
    "speedselectorkey=31\n"
    "fahrtastersound=41\n"
    "sifasound=40\n"
    "fahrschalterstellung=10\n"
    "bremsschalter1=11\n"
    "bremsschalter2=12\n"
    "festhaltebremse=13\n"
    "leuchtmelder_e4=14\n"
    "leuchtmelder_bremse=15\n"
    "travelmeter100=16\n"
    "bremsleitungsdruck=17\n"
    "fuellleitungsdruck=18\n"
    "anzeige_init=19\n"
    "fahrsperre=20\n"
    "sifa=21\n"
    "fahrschalter_sifa_an=22\n"
    "fahrschalter_sifa_aus=23\n"
    "luefter=24\n";

class UBahnDriving : public VelmoraHost {
 protected:
  void StartCab() {
    WriteConfig(kDrivingConfig);
    Start();
    Frame(0, 0.0f);
  }

  // True once when the sound was started; the element is then reset as a host does.
  bool Played(int element) {
    bool played = host.sound[element] == SOUND_PLAY;
    host.sound[element] = SOUND_STOP;
    return played;
  }

  // Sifa held, master controller to 3, brake controller to 1, the pipe charged until the air
  // brake lifts: ready to drive.
  void ReadyToDrive() {
    KeyDown(kKeySifa);
    Key(kKeyUp);
    Key(kKeyBrakeApply);
    RunFor(12000, 0.0f);
    ASSERT_GT(Panel(kPanelPipe), 490);
    ASSERT_EQ(handles.Brake, 0);
    ASSERT_EQ(handles.Reverser, 1);
  }

  // Driven up to `target` km/h (at most 50) with the drive button in master controller
  // position 5, then coasting.
  void DriveTo(float target) {
    ReadyToDrive();
    Key(kKeyUp);
    Key(kKeyUp);
    KeyDown(kKeyDrive);
    for (float v = 0.0f; v < target; v += 0.5f) Frame(now + 50, v);
    Frame(now + 50, target);
    ASSERT_GT(handles.Power, 0);
    KeyUp(kKeyDrive);
    Frame(now + 50, target);
    ASSERT_EQ(handles.Power, 0);
  }

  // Frames every 50 ms with the speed falling linearly from `from` to `to`.
  void SlowDown(float from, float to, int32_t duration) {
    int frames = duration / 50;
    for (int i = 1; i <= frames; i++) Frame(now + 50, from + (to - from) * i / frames);
  }
};

TEST_F(UBahnDriving, departure_takes_power_only_once_the_charged_pipe_lifts_the_air_brake) {
  StartCab();
  EXPECT_EQ(handles.Brake, 8);  // the run starts braked with 300 kPa in the pipe
  EXPECT_EQ(handles.Reverser, 0);
  EXPECT_EQ(Panel(kPanelPipe), 300);

  KeyDown(kKeySifa);
  Key(kKeyUp);
  EXPECT_EQ(Panel(kPanelPosition), 3);
  Key(kKeyBrakeApply);
  EXPECT_EQ(Panel(kPanelBrake1), 1);
  KeyDown(kKeyDrive);  // held early: no power while the air brake is in force
  RunFor(5000, 0.0f);
  EXPECT_GT(Panel(kPanelPipe), 400);
  EXPECT_LT(Panel(kPanelPipe), 490);
  EXPECT_EQ(handles.Power, 0);
  EXPECT_GT(handles.Brake, 0);
  EXPECT_EQ(handles.Reverser, 0);
  EXPECT_FALSE(Played(kSoundStarting));
  EXPECT_LT(Panel(kPanelSupply), 500);
  EXPECT_GT(Panel(kPanelSupply), 475);

  RunFor(6000, 0.0f);
  EXPECT_GT(Panel(kPanelPipe), 490);
  EXPECT_EQ(handles.Brake, 0);
  EXPECT_EQ(handles.Reverser, 1);
  EXPECT_EQ(handles.Power, 4);  // position 3 + 1
  EXPECT_TRUE(Played(kSoundStarting));
  EXPECT_GE(Panel(kPanelSupply), 499);  // slow charging draws the supply only a little
  EXPECT_LT(Panel(kPanelSupply), 500);

  RunFor(1000, 15.0f);
  EXPECT_EQ(handles.Power, 4);
  RunFor(100, 15.5f);  // above the 15 km/h limit of position 3
  EXPECT_EQ(handles.Power, 0);
  RunFor(100, 14.5f);
  EXPECT_EQ(handles.Power, 4);
  EXPECT_FALSE(Played(kSoundStarting));
  Key(kKeyUp);  // position 4: limit 25 km/h, notch 5
  RunFor(100, 20.0f);
  EXPECT_EQ(handles.Power, 5);
}

TEST_F(UBahnDriving, fast_charging_in_position_2_draws_the_supply_down) {
  StartCab();
  KeyDown(kKeySifa);
  Key(kKeyUp);
  Key(kKeyBrakeApply);
  Key(kKeyBrakeApply);
  EXPECT_TRUE(Played(kSoundFilling));
  RunFor(1000, 0.0f);
  EXPECT_LT(Panel(kPanelSupply), 500);
  EXPECT_GT(Panel(kPanelSupply), 400);
  RunFor(4000, 0.0f);
  EXPECT_GT(Panel(kPanelPipe), 490);
  EXPECT_EQ(handles.Brake, 0);
  KeyUp(kKeySifa);  // no recharging without the Sifa key: the supply is at rest again
  Frame(now + 50, 0.0f);
  EXPECT_EQ(Panel(kPanelSupply), 500);
}

TEST_F(UBahnDriving, braking_in_every_brake_controller_position) {
  StartCab();
  DriveTo(30.0f);

  Key(kKeyBrakeApply);  // 1 -> 2: still released
  RunFor(200, 30.0f);
  EXPECT_EQ(handles.Brake, 0);
  for (int position = 3; position <= 6; position++) {  // electric brake: notches 1 to 4
    Key(kKeyBrakeApply);
    RunFor(200, 30.0f);
    EXPECT_EQ(Panel(kPanelBrake1), position);
    EXPECT_EQ(handles.Brake, position - 2) << position;
    EXPECT_EQ(Panel(kPanelNotch), position - 2);
    EXPECT_EQ(handles.Reverser, 1);
  }
  EXPECT_EQ(Panel(kPanelE4), 1);
  EXPECT_EQ(Panel(kPanelBrake2), 1);

  Key(kKeyBrakeApply);  // 7: service air brake, 3 kPa per step
  EXPECT_EQ(Panel(kPanelBrake1), 6);
  EXPECT_EQ(Panel(kPanelBrake2), 2);
  RunFor(1000, 30.0f);
  EXPECT_EQ(Panel(kPanelE4), 0);
  EXPECT_EQ(Panel(kPanelPipe), 440);
  EXPECT_EQ(handles.Brake, 2);
  EXPECT_EQ(handles.Reverser, 0);  // the air brake holds the reverser in neutral
  RunFor(2000, 28.0f);
  EXPECT_EQ(handles.Brake, 7);

  Key(kKeyBrakeApply);  // 8: emergency venting
  EXPECT_TRUE(Played(kSoundEmergencyVenting));
  RunFor(300, 25.0f);
  EXPECT_EQ(Panel(kPanelPipe), 0);
  // The U-Bahn brake asks for notch 9, which on this eight-notch vehicle is the emergency notch;
  // every key press has withdrawn one emergency demand, so it is not in force and the host
  // keeps the last notch that was: 7.
  EXPECT_EQ(Panel(kPanelNotch), 9);
  EXPECT_EQ(handles.Brake, 7);
  EXPECT_EQ(Panel(kPanelBrakeLamp), 1);

  SlowDown(25.0f, 0.0f, 3000);
  for (int i = 0; i < 6; i++) Key(kKeyBrakeRelease);  // back to 2: fast recharging
  EXPECT_EQ(Panel(kPanelBrake1), 2);
  EXPECT_TRUE(Played(kSoundFilling));
  RunFor(3000, 0.0f);
  EXPECT_GT(handles.Brake, 0);
  RunFor(3000, 0.0f);
  EXPECT_GT(Panel(kPanelPipe), 490);
  EXPECT_EQ(handles.Brake, 0);
  EXPECT_EQ(handles.Reverser, 1);
  EXPECT_EQ(Panel(kPanelBrakeLamp), 0);
}

TEST_F(UBahnDriving, letting_go_of_the_sifa_key_forces_braking_until_it_is_held_again) {
  StartCab();
  DriveTo(30.0f);
  KeyUp(kKeySifa);
  Frame(now + 50, 30.0f);
  EXPECT_TRUE(Played(kSoundSifaWarning));
  RunFor(500, 29.0f);  // vented 30 kPa per step
  EXPECT_LE(Panel(kPanelPipe), 500 - 30 * 9);
  EXPECT_EQ(Panel(kPanelNotch), 9);
  EXPECT_EQ(handles.Brake, 7);  // the last notch in force: 9 is outweighed by the key presses' withdrawals
  EXPECT_EQ(handles.Reverser, 0);
  EXPECT_FALSE(Played(kSoundSifaWarning));  // sounded once

  SlowDown(29.0f, 0.0f, 3000);
  EXPECT_EQ(Panel(kPanelPipe), 0);
  KeyDown(kKeySifa);  // held again: the forced braking ends
  Frame(now + 50, 0.0f);
  EXPECT_EQ(host.sound[kSoundSifaWarning], SOUND_STOP);
  Key(kKeyBrakeApply);  // 1 -> 2 to refill fast
  EXPECT_TRUE(Played(kSoundFilling));
  RunFor(6000, 0.0f);
  EXPECT_EQ(handles.Brake, 0);
  EXPECT_EQ(handles.Reverser, 1);
}

TEST_F(UBahnDriving, sifa_is_not_supervised_with_the_master_controller_in_neutral) {
  StartCab();
  DriveTo(20.0f);
  SlowDown(20.0f, 6.0f, 2000);
  Key(kKeyNeutral);  // below 7 km/h: the trip stop is left alone
  KeyUp(kKeySifa);
  RunFor(1000, 6.0f);
  EXPECT_FALSE(Played(kSoundSifaWarning));
  EXPECT_GT(Panel(kPanelPipe), 490);
  EXPECT_EQ(handles.Reverser, 0);
  Key(kKeyUp);  // out of neutral without the key: forced braking in the next frame
  Frame(now + 50, 6.0f);
  EXPECT_TRUE(Played(kSoundSifaWarning));
}

TEST_F(UBahnDriving, holding_brake_brings_the_train_to_rest_and_keeps_it_there) {
  StartCab();
  DriveTo(30.0f);
  for (int i = 0; i < 5; i++) Key(kKeyBrakeApply);  // 1 -> 6
  RunFor(200, 30.0f);
  EXPECT_EQ(handles.Brake, 4);
  SlowDown(30.0f, 9.0f, 3000);

  KeyDown(kKeyHolding);
  EXPECT_EQ(Panel(kPanelHoldingButton), 1);
  KeyUp(kKeyHolding);
  EXPECT_EQ(Panel(kPanelHoldingButton), 0);
  SlowDown(9.0f, 0.0f, 3000);
  EXPECT_EQ(handles.Brake, 8);
  EXPECT_EQ(Panel(kPanelPipe), 440);
  EXPECT_TRUE(Played(kSoundStopping));
  EXPECT_EQ(Panel(kPanelBrakeLamp), 1);

  KeyUp(kKeySifa);  // at rest on the holding brake the Sifa may be let go
  RunFor(2000, 0.0f);
  EXPECT_FALSE(Played(kSoundSifaWarning));
  EXPECT_EQ(handles.Brake, 8);
  EXPECT_FALSE(Played(kSoundStopping));  // the stopping sound plays once per stop

  KeyDown(kKeySifa);
  for (int i = 0; i < 5; i++) Key(kKeyBrakeRelease);  // 6 -> 1 releases the holding brake
  RunFor(200, 0.0f);
  EXPECT_GT(handles.Brake, 0);  // the pipe still has to be recharged
  RunFor(6000, 0.0f);
  EXPECT_EQ(handles.Brake, 0);
  EXPECT_EQ(handles.Reverser, 1);
  EXPECT_EQ(Panel(kPanelBrakeLamp), 0);
}

}  // namespace
