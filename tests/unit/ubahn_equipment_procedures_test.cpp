// Cab procedures driven through the plug-in's entry points, as the host drives them: a station
// stop, a trip at a stop signal, the spring brake, and what a restart keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ubahn_equipment_setup.h"

namespace {

const int kKeyTripStop = 0;
const int kKeyHorn = 2;
const int kKeyUp = 5;
const int kKeyLeft = 8;
const int kKeyClose = 9;
const int kKeyRight = 10;
const int kKeySpringApply = 11;
const int kKeySpringRelease = 12;
const int kKeyBrakeRelease = 14;
const int kKeyBrakeApply = 15;
const int kKeySifa = 30;
const int kKeyDrive = 31;

class CabProcedure : public ::testing::Test {
 protected:
  CounterFolder counters;
  int panel[kElementCount];
  int sound[kElementCount];
  int32_t now = 0;
  double location = 0.0;
  ATS_HANDLES handles = {};

  void SetUp() override {
    Load();
    SetVehicleSpec(ATS_VEHICLESPEC{8, 8, 0, 0, 3});
    ResetEquipmentState();
    // What the driving controls keep from an earlier run of the same library.
    sifaAn = false;
    VMax = 0;
    fahrschalterAn = false;
    startmeldung = true;
    gState = ATS_VEHICLESTATE{};
    StartRun();
  }
  void TearDown() override { Dispose(); }

  // The host (re)starts the run; the cab's elements and keys are then wired as the tests need.
  void StartRun() {
    Initialize(0);
    WireEquipment();
    gOpts[OPT_sifakey].value = kKeySifa;
    gOpts[OPT_speedselectorkey].value = kKeyDrive;
  }
  void Frame(int32_t dt, float speed) {
    now = static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(dt));  // wraps like the host's clock
    location += static_cast<double>(speed) / 3.6 * dt / 1000.0;
    ATS_VEHICLESTATE state = {};
    state.Location = location;
    state.Speed = speed;
    state.Time = now;
    handles = Elapse(state, panel, sound);
  }
  void Run(int32_t duration, float speed) {
    for (int32_t t = 0; t < duration; t += 50) Frame(50, speed);
  }
  void Key(int key) {
    KeyDown(key);
    KeyUp(key);
  }
  void Beacon(int type, int signal, int optional) {
    SetBeaconData(ATS_BEACONDATA{type, signal, 0.0f, optional});
  }
  bool Played(int element) {
    bool played = sound[element] == SOUND_PLAY;
    sound[element] = SOUND_STOP;
    return played;
  }
  // Sifa held, forward taken, the pipe charged in position 2, then the brake controller in 1.
  void TakeForwardWithChargedPipe() {
    Frame(50, 0.0f);
    KeyDown(kKeySifa);
    Key(kKeyUp);
    Key(kKeyBrakeApply);
    Key(kKeyBrakeApply);
    Run(15000, 0.0f);
    Key(kKeyBrakeRelease);
    Run(500, 0.0f);
    ASSERT_EQ(fahrschalter, 3);
    ASSERT_EQ(bremsschalter, 1);
    ASSERT_GT(bremsleitungsdruck, 490.0);
    ASSERT_EQ(handles.Brake, 0);
  }
};

TEST_F(CabProcedure, station_stop_boards_the_passengers_and_departs_only_with_closed_doors) {
  TakeForwardWithChargedPipe();
  Beacon(23, 0, 1);  // platform on the right
  Beacon(25, 0, 3);  // three passengers waiting
  EXPECT_TRUE(fahrsperre);  // the door beacons also pass the trip stop, which ignores them
  Key(kKeyRight);
  Frame(50, 0.0f);
  EXPECT_TRUE(Played(16));
  EXPECT_FALSE(tueren_geschlossen);
  EXPECT_EQ(panel[kPanelRightLamp], 1);
  EXPECT_EQ(panel[kPanelMessage], 1);
  EXPECT_EQ(panel[kPanelPassengers1], 3);

  KeyDown(kKeyDrive);  // the driver wants to go: no power with open doors
  Run(3000, 0.0f);
  EXPECT_EQ(handles.Power, 0);
  EXPECT_EQ(fahrgaeste, 0);
  EXPECT_EQ(panel[kPanelPassengers1], 0);

  Key(kKeyClose);
  EXPECT_TRUE(Played(17));
  Run(5500, 0.0f);
  EXPECT_FALSE(tueren_geschlossen);
  EXPECT_EQ(handles.Power, 0);
  Run(150, 0.0f);
  EXPECT_TRUE(tueren_geschlossen);
  EXPECT_EQ(panel[kPanelDoorsClosed], 1);
  EXPECT_EQ(panel[kPanelRightState], 0);
  EXPECT_EQ(handles.Power, 4);
  EXPECT_EQ(handles.Reverser, 1);
}

TEST_F(CabProcedure, trip_at_a_stop_signal_brakes_until_reset_and_the_count_survives_a_restart) {
  TakeForwardWithChargedPipe();
  Frame(50, 30.0f);
  Beacon(44002, 0, 0);
  EXPECT_TRUE(Played(78));
  EXPECT_FALSE(fahrsperre);
  const double before = bremsleitungsdruck;
  Run(1000, 30.0f);
  EXPECT_LT(bremsleitungsdruck, before - 200.0);  // vented 30 kPa per step
  EXPECT_EQ(panel[kPanelTripLamp], 0);
  EXPECT_GT(handles.Brake, 5);
  Run(500, 0.0f);

  KeyDown(kKeyTripStop);
  EXPECT_TRUE(Played(73));
  EXPECT_EQ(panel[kPanelTripButtonTripped], 1);
  KeyDown(kKeyTripStop);  // held: the host repeats the key
  KeyUp(kKeyTripStop);
  EXPECT_TRUE(Played(71));
  EXPECT_TRUE(fahrsperre);
  EXPECT_EQ(zaehlwerk1, 1);
  EXPECT_EQ(ReadBytes(counters.File("Z1.dat")), "1");
  Frame(50, 0.0f);
  EXPECT_EQ(panel[kPanelTripLamp], 1);
  EXPECT_EQ(panel[kPanelZ1Digits + 3], 1);

  // Next run: the count is read back from its file and shown again.
  zaehlwerk1 = 0;
  StartRun();
  EXPECT_EQ(zaehlwerk1, 1);
  Frame(50, 0.0f);
  EXPECT_EQ(panel[kPanelZ1Digits + 3], 1);
  EXPECT_EQ(panel[kPanelZ1Digits + 2], 0);
}

TEST_F(CabProcedure, override_and_kilometre_counters_are_written_and_read_back_at_the_next_start) {
  WriteBytes(counters.File("Z2.dat"), "41");
  WriteBytes(counters.File("Z3.dat"), "9999");
  StartRun();
  Frame(50, 0.0f);
  EXPECT_EQ(panel[kPanelZ2Digits + 3], 41);
  EXPECT_EQ(panel[kPanelKmDigits + 3], 999);
  TakeForwardWithChargedPipe();
  KeyDown(kKeyTripStop);
  Frame(50, 4.0f);
  Beacon(44003, 0, 0);  // crept past with the button held: overridden
  KeyUp(kKeyTripStop);
  EXPECT_TRUE(fahrsperre);
  EXPECT_TRUE(Played(27));
  EXPECT_EQ(ReadBytes(counters.File("Z2.dat")), "42");
  Run(20000, 72.0f);  // 400 m
  Run(40000, 72.0f);  // 800 m more: the first kilometre from location 0 is passed
  EXPECT_EQ(ReadBytes(counters.File("Z3.dat")), "10000");
  EXPECT_EQ(panel[kPanelKmDigits], 1);

  zaehlwerk2 = kilometerzaehler = 0;
  StartRun();
  Frame(50, 0.0f);
  EXPECT_EQ(zaehlwerk2, 42);
  EXPECT_EQ(kilometerzaehler, 10000);
  EXPECT_EQ(panel[kPanelZ2Digits + 3], 42);
  EXPECT_EQ(panel[kPanelKmDigits + 4], 10000);
}

TEST_F(CabProcedure, spring_brake_holds_the_standing_train_and_its_release_frees_it) {
  TakeForwardWithChargedPipe();
  Key(kKeySpringApply);
  EXPECT_TRUE(Played(69));
  Run(1100, 0.0f);
  EXPECT_TRUE(federspeicher_aktiv);
  EXPECT_EQ(panel[kPanelSpringRed], 1);
  EXPECT_EQ(panel[kPanelSpringYellow], 1);
  EXPECT_EQ(handles.Brake, 2);  // standing in position 1 with a charged pipe

  KeyDown(kKeySpringRelease);
  EXPECT_TRUE(Played(70));
  Run(1250, 0.0f);
  KeyUp(kKeySpringRelease);
  EXPECT_TRUE(Played(71));
  EXPECT_FALSE(federspeicher_aktiv);
  EXPECT_EQ(panel[kPanelSpringRed], 0);
  EXPECT_EQ(panel[kPanelSpringYellow], 0);
  Frame(50, 0.0f);
  EXPECT_EQ(handles.Brake, 0);
}

TEST_F(CabProcedure, a_restart_keeps_doors_trip_stop_spring_brake_and_sounds_but_resets_the_interlock) {
  TakeForwardWithChargedPipe();
  Beacon(23, 0, 2);
  Beacon(25, 0, 20);
  Key(kKeyLeft);
  Frame(50, 0.0f);
  Key(kKeySpringApply);
  Run(1100, 0.0f);
  Beacon(44004, 0, -1);  // trips even a standing train
  At(now, 0.0f);
  Beacon(26, 0, 0);      // a rail joint pending
  HornBlow(1);           // starts the announcement lockout
  wartezeit = 2000;
  langsam = true;        // a running band sounding
  ASSERT_FALSE(fahrsperre);
  ASSERT_TRUE(schienenstoss);

  StartRun();
  // Reset by the restart.
  EXPECT_TRUE(tueren_geschlossen);
  EXPECT_EQ(fahrgaeste, 0);
  EXPECT_FALSE(schienenstoss);
  EXPECT_FALSE(fsp_gerade_eingeschaltet);
  // Kept from the run before.
  EXPECT_EQ(tuerstatus_links, 4);
  EXPECT_TRUE(tueren_links_offen);
  EXPECT_EQ(tuerseite, 2);
  EXPECT_FALSE(fahrsperre);
  EXPECT_TRUE(loesesperrventil_fahrsperre);
  EXPECT_TRUE(federspeicher_aktiv);
  EXPECT_TRUE(speicherbremse_LM_rot);
  EXPECT_TRUE(langsam);
  EXPECT_EQ(wartezeit, 2000);
  EXPECT_NE(ELAtimer, 0);
  // The first frame shows the trip again.
  Frame(50, 0.0f);
  EXPECT_EQ(panel[kPanelTripLamp], 0);
}

TEST_F(CabProcedure, host_horn_reaches_the_announcements_after_the_first_lockout) {
  Frame(50, 0.0f);
  HornBlow(0);
  EXPECT_FALSE(Played(28));
  Run(1000, 0.0f);
  HornBlow(1);
  EXPECT_TRUE(Played(28));
  Beacon(27, 0, 90);
  Run(2000, 0.0f);
  Key(4);
  EXPECT_TRUE(Played(90));
}

TEST_F(CabProcedure, horn_key_through_the_entry_points) {
  Frame(50, 0.0f);
  KeyDown(kKeyHorn);
  EXPECT_TRUE(Played(13));
  EXPECT_EQ(panel[kPanelHornButton], 1);
  Run(150, 0.0f);
  EXPECT_EQ(sound[14], SOUND_LOOP);
  KeyUp(kKeyHorn);
  EXPECT_TRUE(Played(15));
  EXPECT_EQ(sound[14], SOUND_STOP);
}

TEST_F(CabProcedure, absurd_keys_beacons_and_vehicle_states_do_no_harm) {
  const int extremes[] = {0, -1, 1, 255, 256, 100000, std::numeric_limits<int>::min(),
                          std::numeric_limits<int>::max()};
  for (int a : extremes) {
    KeyDown(a);
    KeyUp(a);
    for (int type : {23, 24, 25, 26, 27, 28, 29, 44002, 44003, 44004}) {
      for (int b : extremes) Beacon(type, b, a);
    }
  }
  const float speeds[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, 0.0f};
  for (float speed : speeds) {
    location = std::numeric_limits<double>::quiet_NaN();
    Frame(50, speed);
    location = 1e300;
    Frame(50, speed);
    location = -std::numeric_limits<double>::infinity();
    Frame(50, speed);
  }
  now = std::numeric_limits<int32_t>::max() - 20;
  Run(200, 10.0f);  // the host's clock wraps
  StartRun();       // a restart at an absurd location
  Frame(50, 0.0f);
  SUCCEED();
}

}  // namespace
