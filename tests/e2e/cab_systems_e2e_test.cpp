// What the host's calls reach of the supervision, protection, power, traction and wiper systems,
// on the built library.
#include "e2e_fixture.h"

namespace {

const int kAwsIndicator = 30;
const int kAwsHorn = 31;
const int kAwsBell = 32;
const int kTpwsThirdLamp = 33;
const int kHornLamp = 40;
const int kWiperSwitch = 41;

// The U-Bahn elements are moved away from element 0 so they do not cover the systems under test.
const char kUBahnAside[] =
    "sifakey=90\nfahrschalterstellung=200\nbremsschalter1=201\nbremsschalter2=202\n"
    "bremsleitungsdruck=203\nfahrsperre=204\nanzeige_init=205\nsifasound=206\n";

class CabSystemsOnTheRealLibrary : public VelmoraHost {};

TEST_F(CabSystemsOnTheRealLibrary, startup_test_runs_from_the_reverser_to_the_acknowledge_key) {
  WriteConfig(std::string(kUBahnAside) + "startuptest=2\nawsindicator=30\nawswarningsound=31\n"
              "awsclearsound=32\ntpwsindicator3=33\n");
  Start();
  Frame(1000, 0.0f);
  SetReverser(0);
  EXPECT_EQ(Sound(kAwsHorn), SOUND_STOP);  // neutral does not start the test
  SetReverser(1);
  EXPECT_EQ(Sound(kAwsHorn), SOUND_LOOP);
  EXPECT_EQ(Panel(kTpwsThirdLamp), 1);
  Key(0);  // the AWS acknowledge button, by default key 0
  EXPECT_EQ(Sound(kAwsHorn), SOUND_STOP);
  EXPECT_EQ(Sound(kAwsBell), SOUND_PLAY);
  EXPECT_EQ(Panel(kAwsIndicator), 1);
  EXPECT_EQ(Panel(kTpwsThirdLamp), 0);
  // The test runs once per run: a later reverser move leaves the horn alone.
  SetReverser(0);
  SetReverser(-1);
  EXPECT_EQ(Sound(kAwsHorn), SOUND_STOP);
}

TEST_F(CabSystemsOnTheRealLibrary, horn_lights_its_lamp_before_the_first_frame_and_frames_keep_it_lit) {
  WriteConfig(std::string(kUBahnAside) + "klaxonindicator=40,500,900\n");
  Start();
  HornBlow(0);
  Frame(100, 0.0f);
  EXPECT_EQ(Panel(kHornLamp), 1);
  // The lamp's time-out belongs to a frame routine the cab does not run.
  RunFor(3000, 0.0f);
  EXPECT_EQ(Panel(kHornLamp), 1);
}

TEST_F(CabSystemsOnTheRealLibrary, steam_traction_holds_power_and_reverser_from_the_start) {
  WriteConfig(std::string(kUBahnAside) + "traction=1\n");
  Start();
  SetReverser(1);
  SetPower(5);
  ATS_HANDLES handles = RunFor(500, 0.0f);
  EXPECT_EQ(handles.Power, 0);
  EXPECT_EQ(handles.Reverser, 0);
  // Without a traction model the same handles drive.
  WriteConfig(kUBahnAside);
  Initialize();
  SetReverser(1);
  SetPower(5);
  handles = RunFor(500, 0.0f);
  EXPECT_EQ(handles.Power, 5);
}

TEST_F(CabSystemsOnTheRealLibrary, wiper_switch_answers_its_key_but_the_blade_does_not_move) {
  WriteConfig(std::string(kUBahnAside) + "wiperindicator=41\nwiperindex=42\nwiperonkey=60\nwiperdelay=2000\n");
  Start();
  Frame(100, 0.0f);
  KeyDown(60);
  EXPECT_EQ(Panel(kWiperSwitch), 1);
  RunFor(3000, 0.0f);
  EXPECT_EQ(Panel(42), 0);
}

TEST_F(CabSystemsOnTheRealLibrary, vigilance_never_brakes_from_frames_alone) {
  WriteConfig(std::string(kUBahnAside) + "vigilance=1\nvigilanceinterval=1000\nvigilancelamp=43\n");
  Start();
  ATS_HANDLES handles = RunFor(10000, 30.0f, 100);
  EXPECT_EQ(Panel(43), 0);
  EXPECT_LT(handles.Brake, 9);
}

}  // namespace
