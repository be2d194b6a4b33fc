// The U-Bahn cab equipment on the built library: a station stop, a trip at a stop signal with its
// reset, the spring brake, the counter files across runs, and what a restart keeps.
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "e2e_fixture.h"

namespace {

// Keys of the cab.
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

// Panel elements as the configuration below wires them.
const int kPanelRightLamp = 106;
const int kPanelLeftLamp = 108;
const int kPanelDoorsClosed = 110;
const int kPanelLeftState = 112;
const int kPanelMessage = 113;
const int kPanelPassengers = 116;
const int kPanelTripLamp = 120;
const int kPanelZ1 = 126;       // counter 1, whole value
const int kPanelZ2 = 130;       // counter 2, whole value
const int kPanelKm10000 = 131;
const int kPanelKm = 135;       // kilometres, whole value
const int kPanelSpringRed = 140;
const int kPanelHornButton = 150;

const char kCabConfig[] =
    "sifakey=30\n"
    "speedselectorkey=31\n"
    "LM_tuer_rechts=106\n"
    "LM_tuer_links=108\n"
    "tuer_zu=110\n"
    "tuerstatus_links=112\n"
    "tuermessage=113\n"
    "fahrgaeste_1=116\n"
    "fahrsperre=120\n"
    "zaehlwerk1_1=126\n"
    "zaehlwerk2_1=130\n"
    "kilometer_10000=131\n"
    "kilometer_1=135\n"
    "LM_speicherbremse_rot=140\n"
    "huptaster=150\n";

class CabEquipment : public VelmoraHost {
 protected:
  void StartCab() {
    WriteConfig(kCabConfig);
    Start();
    Frame(0, 0.0f);
  }
  bool Played(int element) {
    bool played = host.sound[element] == SOUND_PLAY;
    host.sound[element] = SOUND_STOP;  // as a host that has started the sound
    return played;
  }
  // Sifa held, forward taken, the pipe charged in brake position 2, then position 1.
  void TakeForwardWithChargedPipe() {
    KeyDown(kKeySifa);
    Key(kKeyUp);
    Key(kKeyBrakeApply);
    Key(kKeyBrakeApply);
    RunFor(15000, 0.0f);
    Key(kKeyBrakeRelease);
    RunFor(500, 0.0f);
    ASSERT_EQ(handles.Brake, 0);
  }
};

TEST_F(CabEquipment, station_stop_departs_only_once_the_doors_are_closed) {
  StartCab();
  TakeForwardWithChargedPipe();
  RunFor(1000, 20.0f);
  Beacon(23, 0, 0.0f, 1);  // platform on the right
  Beacon(25, 0, 0.0f, 3);  // three passengers
  RunFor(500, 0.0f);
  Key(kKeyRight);
  RunFor(50, 0.0f);
  EXPECT_TRUE(Played(16));
  EXPECT_EQ(Panel(kPanelRightLamp), 1);
  EXPECT_EQ(Panel(kPanelMessage), 1);
  EXPECT_EQ(Panel(kPanelPassengers), 3);
  EXPECT_EQ(Panel(kPanelDoorsClosed), 0);
  KeyDown(kKeyDrive);
  RunFor(3000, 0.0f);
  EXPECT_EQ(Panel(kPanelPassengers), 0);
  EXPECT_EQ(handles.Power, 0);
  Key(kKeyClose);
  EXPECT_TRUE(Played(17));
  RunFor(5550, 0.0f);
  EXPECT_EQ(handles.Power, 0);
  RunFor(100, 0.0f);
  EXPECT_EQ(Panel(kPanelDoorsClosed), 1);
  EXPECT_EQ(handles.Power, 4);
}

TEST_F(CabEquipment, trip_at_a_stop_signal_is_reset_and_counted_in_its_file) {
  StartCab();
  TakeForwardWithChargedPipe();
  RunFor(1000, 30.0f);
  Beacon(44002, 0, 0.0f, 0);
  EXPECT_TRUE(Played(78));
  RunFor(1000, 30.0f);
  EXPECT_EQ(Panel(kPanelTripLamp), 0);
  EXPECT_GE(handles.Brake, 7);  // braking hard: the vented pipe asks for the top notches
  RunFor(500, 0.0f);
  KeyDown(kKeyTripStop);
  KeyDown(kKeyTripStop);  // the host repeats a held key
  KeyDown(kKeyTripStop);
  EXPECT_TRUE(Played(73));
  KeyUp(kKeyTripStop);
  EXPECT_TRUE(Played(71));
  EXPECT_EQ(ReadCounter(1), "1");
  RunFor(50, 0.0f);
  EXPECT_EQ(Panel(kPanelTripLamp), 1);
  EXPECT_EQ(Panel(kPanelZ1), 1);
}

TEST_F(CabEquipment, counters_written_in_one_run_are_read_back_and_shown_in_the_next) {
  WriteCounter(1, "7");
  WriteCounter(3, "12344");
  StartCab();
  EXPECT_EQ(Panel(kPanelZ1), 7);
  EXPECT_EQ(Panel(kPanelKm), 12344);
  TakeForwardWithChargedPipe();
  KeyDown(kKeyTripStop);
  RunFor(50, 4.0f);
  Beacon(44003, 0, 0.0f, 0);  // crept past with the button held: an override
  KeyUp(kKeyTripStop);
  EXPECT_TRUE(Played(27));
  EXPECT_EQ(ReadCounter(2), "1");
  RunFor(60000, 72.0f);  // 1.2 km from location 0
  EXPECT_EQ(ReadCounter(3), "12345");

  Initialize(0);  // the next run
  Frame(now + 50, 0.0f);
  EXPECT_EQ(Panel(kPanelZ1), 7);
  EXPECT_EQ(Panel(kPanelZ2), 1);
  EXPECT_EQ(Panel(kPanelKm), 12345);
  EXPECT_EQ(Panel(kPanelKm10000), 1);
}

TEST_F(CabEquipment, a_missing_train_folder_leaves_the_counting_in_memory) {
  std::filesystem::remove_all(folder.counterDir);  // the train's folder is gone
  StartCab();
  RunFor(500, 0.0f);
  Beacon(44004, 0, 0.0f, -1);
  KeyDown(kKeyTripStop);
  KeyUp(kKeyTripStop);
  RunFor(50, 0.0f);
  EXPECT_EQ(Panel(kPanelZ1), 1);
  EXPECT_FALSE(CounterExists(1));
}

TEST_F(CabEquipment, spring_brake_holds_the_train_until_released) {
  StartCab();
  TakeForwardWithChargedPipe();
  Key(kKeySpringApply);
  EXPECT_TRUE(Played(69));
  RunFor(1100, 0.0f);
  EXPECT_EQ(Panel(kPanelSpringRed), 1);
  EXPECT_EQ(handles.Brake, 2);
  KeyDown(kKeySpringRelease);
  EXPECT_TRUE(Played(70));
  RunFor(1250, 0.0f);
  KeyUp(kKeySpringRelease);
  EXPECT_TRUE(Played(71));
  RunFor(50, 0.0f);
  EXPECT_EQ(Panel(kPanelSpringRed), 0);
  EXPECT_EQ(handles.Brake, 0);
}

TEST_F(CabEquipment, a_restart_keeps_trip_spring_brake_and_door_sides_but_closes_the_interlock) {
  StartCab();
  TakeForwardWithChargedPipe();
  Key(kKeySpringApply);
  RunFor(1100, 0.0f);
  Beacon(23, 0, 0.0f, 2);
  Beacon(25, 0, 0.0f, 9);
  Key(kKeyLeft);
  RunFor(100, 0.0f);
  EXPECT_EQ(Panel(kPanelLeftLamp), 1);
  Beacon(44004, 0, 0.0f, -1);  // trips even a standing train
  RunFor(100, 0.0f);
  EXPECT_EQ(Panel(kPanelTripLamp), 0);

  Initialize(0);
  Frame(now + 50, 0.0f);
  EXPECT_EQ(Panel(kPanelTripLamp), 0);     // still tripped
  EXPECT_EQ(Panel(kPanelLeftState), 4);    // the left side still released
  EXPECT_EQ(Panel(kPanelMessage), 1);      // its doors still open
  EXPECT_EQ(Panel(kPanelPassengers), 0);   // the waiting passengers are gone
  KeyDown(kKeySpringRelease);
  EXPECT_TRUE(Played(70));                 // the spring brake is still applied
  EXPECT_FALSE(Played(72));
  KeyUp(kKeySpringRelease);
  KeyDown(kKeyTripStop);
  EXPECT_TRUE(Played(74));                 // reset with the spring brake applied
  KeyUp(kKeyTripStop);
}

TEST_F(CabEquipment, a_restart_keeps_sound_states_and_drops_a_pending_rail_joint) {
  StartCab();
  RunFor(500, 20.0f);
  EXPECT_TRUE(Played(58));  // the slow running band started
  Beacon(26, 0, 0.0f, 0);
  HornBlow(1);              // starts the announcement lockout
  Initialize(0);
  Frame(now + 50, 20.0f);
  EXPECT_FALSE(Played(58));  // the band is still sounding: no new start
  RunFor(2000, 20.0f);
  EXPECT_FALSE(Played(24));  // the joint was forgotten
  HornBlow(1);
  EXPECT_TRUE(Played(29));   // lockout from before the restart has passed
  RunFor(100, 10.0f);
  EXPECT_TRUE(Played(60));
}

TEST_F(CabEquipment, horn_key_and_host_horn) {
  StartCab();
  KeyDown(kKeyHorn);
  EXPECT_TRUE(Played(13));
  EXPECT_EQ(Panel(kPanelHornButton), 1);
  RunFor(200, 0.0f);
  EXPECT_EQ(Sound(14), SOUND_LOOP);
  KeyUp(kKeyHorn);
  EXPECT_TRUE(Played(15));
  EXPECT_EQ(Panel(kPanelHornButton), 0);
  HornBlow(0);
  EXPECT_FALSE(Played(28));
  RunFor(1000, 0.0f);
  HornBlow(0);
  EXPECT_TRUE(Played(28));
}

TEST_F(CabEquipment, absurd_keys_beacons_and_vehicle_states_do_no_harm) {
  StartCab();
  const int extremes[] = {0, -1, 1, 255, 256, 100000, std::numeric_limits<int>::min(),
                          std::numeric_limits<int>::max()};
  for (int a : extremes) {
    KeyDown(a);
    KeyUp(a);
    for (int type : {23, 24, 25, 26, 27, 28, 29, 44002, 44003, 44004}) {
      for (int b : extremes) Beacon(type, b, 0.0f, a);
    }
    HornBlow(a);
  }
  const float speeds[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, 0.0f};
  const double locations[] = {std::numeric_limits<double>::quiet_NaN(), 1e300,
                              -std::numeric_limits<double>::infinity(), 0.0};
  for (float s : speeds) {
    for (double l : locations) {
      Frame(now + 50, s, l);
      Key(kKeyTripStop);
      Key(kKeyClose);
    }
  }
  Frame(std::numeric_limits<int32_t>::max() - 20, 10.0f, 0.0);
  Frame(std::numeric_limits<int32_t>::min() + 30, 10.0f, 0.0);  // the host's clock wraps
  Frame(std::numeric_limits<int32_t>::min() + 80, 10.0f, 0.0);
  Initialize(0);  // a restart after all that
  Frame(std::numeric_limits<int32_t>::min() + 130, 0.0f, 0.0);
  const int lamp = Panel(kPanelTripLamp);
  EXPECT_TRUE(lamp == 0 || lamp == 1) << lamp;
  EXPECT_GE(handles.Brake, 0);
  EXPECT_LE(handles.Brake, 9);
  Dispose();
}

}  // namespace
