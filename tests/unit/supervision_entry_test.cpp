// What the host's calls reach of the vigilance device, overspeed control and cab miscellany.
#include <gtest/gtest.h>

#include "cab/channels_testing.h"
#include "supervision/misc.h"
#include "cab/handles_testing.h"
#include "supervision/speedcontrol.h"
#include "supervision/vigilance.h"
#include "supervision_support.h"
#include "supervision/vigilance_record.h"
#include "supervision/misc_record.h"
#include "supervision/speedcontrol_record.h"

namespace {

SpeedControlRecord& sc = SpeedControlForTesting();

MiscRecord& misc = MiscForTesting();

VigilanceRecord& vig = VigilanceForTesting();

const int kBrakeNotches = 8;

class SupervisionThroughTheHost : public ::testing::Test {
 protected:
  int panel[kElementCount];
  int sound[kElementCount];

  TempFolder folder;
  std::string configPath;

  // A run started by the host with these lines in its configuration file.
  void StartRun(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    configPath = folder.File("Velmora.cfg");
    WriteBytes(configPath, text);
    SetConfigPathOverride(configPath.c_str());
    Load();
    SetVehicleSpec(ATS_VEHICLESPEC{kBrakeNotches, 5, 1, 6, 4});
    gState = ATS_VEHICLESTATE{};
    Initialize(0);
    for (int i = 0; i < kElementCount; i++) {
      panel[i] = 0;
      sound[i] = SOUND_STOP;
    }
  }
  void TearDown() override {
    Dispose();
    SetConfigPathOverride(nullptr);
  }

  ATS_HANDLES Frame(int32_t time, float speed, double location = 0.0) {
    ATS_VEHICLESTATE state = {};
    state.Time = time;
    state.Speed = speed;
    state.Location = location;
    return Elapse(state, panel, sound);
  }

  // Brings the vigilance device to its lamp by its own frame step, which no host call runs.
  void LightVigilanceLamp(int32_t from) {
    gState.Speed = 50.0f;
    gState.Time = from;
    vig.vigilance = from;
    vig.phase = kVigilanceSupervising;
    gState.Time = from + 60000;
    CheckVigilance();
    ASSERT_EQ(vig.phase, kVigilanceLampLit);
  }
};

}  // namespace

TEST_F(SupervisionThroughTheHost, horn_lamp_lit_before_the_first_frame_reaches_the_host_and_stays_lit) {
  StartRun({"klaxonindicator=40,1500,3000"});
  HornBlow(0);
  EXPECT_EQ(PanelReserve()[40], 1);
  EXPECT_EQ(panel[40], 0);
  Frame(100, 0.0f);
  EXPECT_EQ(panel[40], 1);
  // The frame cycle has no step that puts the lamp out again.
  for (int32_t t = 150; t <= 20000; t += 50) Frame(t, 0.0f);
  EXPECT_EQ(panel[40], 1);
  EXPECT_EQ(misc.hornTimer, 0);  // started at time 0, never stepped
}

TEST_F(SupervisionThroughTheHost, only_horn_types_0_and_1_light_the_horn_lamp) {
  StartRun({"klaxonindicator=40,1500"});
  Frame(100, 0.0f);
  HornBlow(2);
  HornBlow(1);  // no lamp time for type 1
  EXPECT_EQ(panel[40], 0);
  HornBlow(0);
  EXPECT_EQ(panel[40], 1);
}

TEST_F(SupervisionThroughTheHost, handle_and_horn_events_reset_the_vigilance_device) {
  StartRun({"vigilance=1", "vigilancelamp=20", "vigilancealarm=21"});
  Frame(100, 50.0f);
  LightVigilanceLamp(1000);
  EXPECT_EQ(panel[20], 1);
  SetPower(1);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(panel[20], 0);

  LightVigilanceLamp(2000);
  SetBrake(2);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);

  LightVigilanceLamp(3000);
  SetReverser(1);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);

  LightVigilanceLamp(4000);
  HornBlow(1);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(panel[20], 0);
}

TEST_F(SupervisionThroughTheHost, no_host_call_resets_an_independent_device) {
  StartRun({"vigilance=1", "vigilancelamp=20", "independentvigilance=1"});
  Frame(100, 50.0f);
  LightVigilanceLamp(1000);
  SetPower(1);
  SetBrake(1);
  SetReverser(1);
  HornBlow(0);
  KeyDown(2);  // the vigilance key's number: KeyDown does not offer keys to the device
  KeyUp(2);
  EXPECT_EQ(vig.phase, kVigilanceLampLit);
  EXPECT_EQ(panel[20], 1);
}

TEST_F(SupervisionThroughTheHost, frame_cycle_runs_neither_vigilance_nor_overspeed_nor_miscellany) {
  StartRun({"vigilance=1", "vigilancelamp=20", "vigilanceinterval=1000", "overspeedcontrol=1",
            "overspeedindicator=30", "warningspeed=40", "overspeed=50", "travelmetermode=0",
            "travelmeter01=63"});
  double location = 0.0;
  for (int32_t t = 0; t <= 30000; t += 50) {
    location += 120.0 / 3.6 * 0.05;
    Frame(t, 120.0f, location);
  }
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  EXPECT_EQ(panel[20], 0);
  EXPECT_EQ(sc.scSpeed, 0);
  EXPECT_EQ(sc.brakingSequence, kOverspeedBrakeOff);
  EXPECT_EQ(panel[30], 0);
  EXPECT_EQ(sound[kSoundOverspeedBrake], SOUND_STOP);
  EXPECT_EQ(panel[63], 0);
}

TEST_F(SupervisionThroughTheHost, restart_withdraws_the_vigilance_brake_with_every_other_demand) {
  StartRun({"vigilance=1", "vigilanceinterval=1000", "vigilancedelay1=1000", "vigilancedelay2=1000"});
  Frame(100, 50.0f);
  gState.Speed = 50.0f;
  for (int32_t t = 1000; t <= 4000; t += 1000) {
    gState.Time = t;
    CheckVigilance();
  }
  ASSERT_EQ(vig.phase, kVigilanceBraking);
  ASSERT_TRUE(BrakeDemandTableMade());
  EXPECT_EQ(BrakeDemandCount(kBrakeNotches + 1), 1);
  Initialize(0);
  EXPECT_EQ(vig.phase, kVigilanceSupervising);
  ASSERT_TRUE(BrakeDemandTableMade());
  EXPECT_EQ(BrakeDemandCount(kBrakeNotches + 1), 0);
}

TEST_F(SupervisionThroughTheHost, restart_writes_lamps_out_into_the_reserves_and_the_next_frame_hands_them_over) {
  StartRun({"vigilance=1", "vigilancelamp=20", "vigilancealarm=21", "doorindicator=30,31"});
  Frame(100, 0.0f);
  // During the run the lamps and the alarm come on in the host's arrays.
  misc.doorSide = 0;
  setDoorSide(2);
  SetPanel(20, 1);
  SetSound(21, SOUND_LOOP);
  ASSERT_EQ(panel[30], 1);
  ASSERT_EQ(panel[31], 1);
  // Left-overs in the reserves from before the run's first frame.
  PanelReserve()[20] = 1;
  PanelReserve()[30] = 1;
  PanelReserve()[31] = 1;
  SoundReserve()[21] = SOUND_LOOP;
  // No host call releases a door side (it was chosen by hand above), and the start of a run
  // keeps the side: take it back to none as it stands in a real run.
  misc.doorSide = 0;
  // The host restarts the run: the init operations write into the reserves.
  Initialize(0);
  EXPECT_EQ(PanelReserve()[20], 0);
  EXPECT_EQ(SoundReserve()[21], SOUND_STOP);
  EXPECT_EQ(PanelReserve()[30], 0);
  EXPECT_EQ(PanelReserve()[31], 0);
  // The host's arrays are untouched until the next frame copies the reserves over them.
  EXPECT_EQ(panel[20], 1);
  EXPECT_EQ(sound[21], SOUND_LOOP);
  EXPECT_EQ(panel[30], 1);
  Frame(200, 0.0f);
  EXPECT_EQ(panel[20], 0);
  EXPECT_EQ(sound[21], SOUND_STOP);
  EXPECT_EQ(panel[30], 0);
  EXPECT_EQ(panel[31], 0);
}
