// The British and German protection seen through the host's entry points: what a start of run
// writes, the start-up test driven by the reverser and key 0, and what the frame cycle leaves alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cab/channels_testing.h"
#include "config/confload.h"
#include "platform/platform.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "protection/br_safety.h"
#include "protection/de_safety.h"
#include "test_files.h"
#include "protection/de_safety_record.h"
#include "protection/br_safety_record.h"

namespace {

BRSafetyRecord& aws = BRSafetyState();

DESafetyRecord& pzb = DESafetyForTesting();

const int kAwsHorn = 40;
const int kAwsBell = 41;
const int kPzbYellow = 42;
const int kPzbRed = 43;
const int kPzbSound = 44;
const int kAwsIndicator = 45;
const int kTpwsLamp3 = 46;
const int kPzbBlue = 47;
const int kTpwsLamp = 48;
const int kAckButton = 49;
const int kTpwsWarning = 50;
const int kUntouched = 12345;

const char kWiring[] =
    "awswarningsound=40\n"
    "awsclearsound=41\n"
    "pzb90yellowlamp=42\n"
    "pzb90redlamp=43\n"
    "pzb90sound=44\n"
    "awsindicator=45\n"
    "tpwsindicator3=46\n"
    "pzb90bluelamp=47,300\n"
    "tpwsindicator=48,300\n"
    "awsacknowledgekey=0,49\n"
    "tpwswarningsound=50\n";

class ProtectionEntryPoints : public ::testing::Test {
 protected:
  TempFolder folder;
  int panel[kElementCount];
  int sound[kElementCount];

  void SetUp() override {
    gState = ATS_VEHICLESTATE{};
    Load();
    ATS_VEHICLESPEC spec = {8, 5, 1, 6, 3};
    SetVehicleSpec(spec);
    for (int i = 0; i < kElementCount; i++) panel[i] = sound[i] = kUntouched;
  }
  void TearDown() override { Dispose(); }

  // Initialize with this test's own configuration file.
  void Initialize(const std::string& extra) {
    std::string path = folder.File("Velmora.cfg");
    ASSERT_TRUE(WriteBytes(path, std::string(kWiring) + extra)) << path;
    SetConfigPathOverride(path.c_str());
    ::Initialize(0);
    SetConfigPathOverride(nullptr);
    // Every assertion below reads elements this file wires: the run must have read it.
    ASSERT_EQ(Opt(OPT_awswarningsound), kAwsHorn) << "the configuration file " << path << " was not read";
  }
  ATS_HANDLES Frame(int time, float speed) {
    ATS_VEHICLESTATE state = {};
    state.Time = time;
    state.Speed = speed;
    return Elapse(state, panel, sound);
  }
};

TEST_F(ProtectionEntryPoints, start_of_run_silences_aws_and_darkens_pzb_lamps_in_the_host_arrays) {
  SoundReserve()[kAwsHorn] = SOUND_LOOP;
  SoundReserve()[kAwsBell] = SOUND_PLAY;
  SoundReserve()[kPzbSound] = SOUND_LOOP;
  PanelReserve()[kPzbYellow] = 1;
  PanelReserve()[kPzbRed] = 1;
  PanelReserve()[kPzbBlue] = 5;  // indicators are not shown at the start of run
  PanelReserve()[kTpwsLamp] = 6;
  SoundReserve()[kTpwsWarning] = SOUND_LOOP;
  Initialize("system=2\npzb90=1\n");
  Frame(1000, 0.0f);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
  EXPECT_EQ(sound[kAwsBell], SOUND_STOP);
  EXPECT_EQ(sound[kPzbSound], SOUND_STOP);
  EXPECT_EQ(panel[kPzbYellow], 0);
  EXPECT_EQ(panel[kPzbRed], 0);
  EXPECT_EQ(panel[kPzbBlue], 5);
  EXPECT_EQ(panel[kTpwsLamp], 6);
  EXPECT_EQ(sound[kTpwsWarning], SOUND_LOOP);
}

TEST_F(ProtectionEntryPoints, frames_and_beacons_do_not_reach_the_supervision) {
  Initialize("system=2\npzb90=1\n");
  Frame(1000, 100.0f);  // above the PZB90 limit of a system not switched on
  SetBeaconData({kBeaconSignalTrainStop, 0, 0.0f, 0});
  SetBeaconData({kBeaconAwsPermanentMagnet, 0, 0.0f, 0});
  SetBeaconData({kBeaconPzbSignalMagnet, 0, 0.0f, 0});
  Frame(5000, 100.0f);
  EXPECT_FALSE(TpwsBrakeApplied(aws));
  EXPECT_EQ(aws.awsPhase, kAwsIdle);
  EXPECT_FALSE(pzb.emergency);
  EXPECT_EQ(panel[kPzbRed], 0);
  EXPECT_EQ(panel[kPzbBlue], 0);  // no frame shows the flashing blue lamp
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
}

TEST_F(ProtectionEntryPoints, startup_test_2_runs_from_reverser_to_key_0) {
  Initialize("startuptest=2\n");
  Frame(1000, 0.0f);
  SetReverser(0);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
  SetReverser(1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_LOOP);
  EXPECT_EQ(panel[kTpwsLamp3], 1);
  EXPECT_EQ(panel[kAwsIndicator], 0);
  KeyDown(0);
  EXPECT_EQ(panel[kAckButton], 1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
  EXPECT_EQ(sound[kAwsBell], SOUND_PLAY);
  EXPECT_EQ(panel[kAwsIndicator], 1);
  EXPECT_EQ(panel[kTpwsLamp3], 0);
  KeyUp(0);
  EXPECT_EQ(panel[kAckButton], 0);
  // Over for this run: moving the reverser again starts nothing.
  SetReverser(0);
  SetReverser(-1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
}

TEST_F(ProtectionEntryPoints, startup_test_1_sounds_only_the_horn) {
  Initialize("startuptest=1\n");
  Frame(1000, 0.0f);
  SetReverser(-1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_LOOP);
  EXPECT_EQ(panel[kTpwsLamp3], 0);
  KeyDown(0);
  KeyUp(0);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
  EXPECT_EQ(sound[kAwsBell], SOUND_STOP);
  EXPECT_EQ(panel[kAwsIndicator], 1);
  EXPECT_EQ(panel[kTpwsLamp3], 0);
}

TEST_F(ProtectionEntryPoints, startup_test_before_the_first_frame_lands_in_the_reserves) {
  Initialize("startuptest=2\n");
  SetReverser(1);
  EXPECT_EQ(SoundReserve()[kAwsHorn], SOUND_LOOP);
  EXPECT_EQ(PanelReserve()[kTpwsLamp3], 1);
  Frame(1000, 0.0f);
  EXPECT_EQ(sound[kAwsHorn], SOUND_LOOP);
  EXPECT_EQ(panel[kTpwsLamp3], 1);
}

TEST_F(ProtectionEntryPoints, restart_arms_the_startup_test_again) {
  Initialize("startuptest=1\n");
  Frame(1000, 0.0f);
  SetReverser(1);
  KeyDown(0);
  KeyUp(0);
  ASSERT_EQ(sound[kAwsHorn], SOUND_STOP);
  Initialize("startuptest=1\n");
  Frame(2000, 0.0f);
  SetReverser(1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_LOOP);
}

TEST_F(ProtectionEntryPoints, without_a_startup_test_the_reverser_sounds_nothing) {
  Initialize("");
  Frame(1000, 0.0f);
  SetReverser(1);
  EXPECT_EQ(sound[kAwsHorn], SOUND_STOP);
  KeyDown(0);
  EXPECT_EQ(panel[kAwsIndicator], 0);  // nothing to acknowledge
  EXPECT_EQ(panel[kAckButton], 1);
}

}  // namespace
