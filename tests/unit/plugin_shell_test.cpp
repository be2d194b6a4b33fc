#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "cab/channels_testing.h"
#include "plugin/atsplugin.h"
#include "plugin/atsplugin_testing.h"
#include "config/fixed_wiring.h"
#include "test_files.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"

namespace {

class PluginShell : public ::testing::Test {
 protected:
  int panel[kElementCount];
  int sound[kElementCount];
  void SetUp() override {
    Load();
    ATS_VEHICLESPEC spec = {7, 8, 1, 5, 4};
    SetVehicleSpec(spec);
    Initialize(0);
    for (int i = 0; i < kElementCount; i++) panel[i] = sound[i] = 12345;
  }
  void TearDown() override { Dispose(); }
  ATS_HANDLES Frame(float speed, int time) {
    ATS_VEHICLESTATE state = {};
    state.Speed = speed;
    state.Time = time;
    return Elapse(state, panel, sound);
  }
};

TEST_F(PluginShell, version_is_2_0) { EXPECT_EQ(GetPluginVersion(), 131072); }

TEST_F(PluginShell, first_frame_copies_the_reserves_into_the_host_arrays) {
  PanelReserve()[200] = 77;
  SoundReserve()[201] = SOUND_LOOP;
  Frame(0, 100);
  EXPECT_EQ(gPanel, panel);
  EXPECT_EQ(gSound, sound);
  EXPECT_EQ(panel[200], 77);
  EXPECT_EQ(sound[201], SOUND_LOOP);
  EXPECT_EQ(sound[255], SOUND_STOP);
  // The same arrays again: nothing is copied.
  panel[200] = 5;
  Frame(0, 150);
  EXPECT_EQ(panel[200], 5);
  // A restart points back at the reserves, so the next frame copies again into the same arrays.
  Initialize(0);
  Frame(0, 200);
  EXPECT_EQ(panel[200], 77);
}

TEST_F(PluginShell, null_arrays_are_never_adopted) {
  Frame(0, 100);
  ATS_VEHICLESTATE state = {};
  Elapse(state, nullptr, nullptr);
  EXPECT_EQ(gPanel, panel);
  EXPECT_EQ(gSound, sound);
  SetBeaconData({30, 0, 0, 0});
  EXPECT_EQ(sound[56], SOUND_PLAY);
}

TEST_F(PluginShell, reverser_element_shows_backward_as_2_only_when_wired) {
  Frame(0, 100);
  int before[kElementCount];
  for (int i = 0; i < kElementCount; i++) before[i] = panel[i];
  SetReverser(-1);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(panel[i], before[i]) << i;
  gOpts[OPT_reverserindex].value = 12;
  SetReverser(-1);
  EXPECT_EQ(panel[12], 2);
  SetReverser(1);
  EXPECT_EQ(panel[12], 1);
  SetReverser(0);
  EXPECT_EQ(panel[12], 0);
  gOpts[OPT_reverserindex].value = 999;  // not an element: nothing written
  SetReverser(1);
}

TEST_F(PluginShell, beacon_30_picks_its_sound_by_40_kmh) {
  Frame(40.0f, 100);
  SetBeaconData({30, 0, 0, 0});
  EXPECT_EQ(sound[57], SOUND_PLAY);
  EXPECT_EQ(sound[56], SOUND_STOP);
  for (float speed : {39.9f, -5.0f}) {
    sound[56] = SOUND_STOP;
    Frame(speed, 200);
    SetBeaconData({30, 0, 0, 0});
    EXPECT_EQ(sound[56], SOUND_PLAY) << speed;
  }
  sound[57] = SOUND_STOP;
  Frame(std::numeric_limits<float>::quiet_NaN(), 300);
  SetBeaconData({30, 0, 0, 0});
  EXPECT_EQ(sound[57], SOUND_PLAY);
}

TEST_F(PluginShell, beacon_31_plays_the_special_sound_whenever_optional_is_set) {
  Frame(10.0f, 100);
  SetBeaconData({31, 0, 0, 1});
  EXPECT_EQ(sound[81], SOUND_PLAY);
  EXPECT_EQ(sound[79], SOUND_STOP);
  SetBeaconData({31, 0, 0, 0});
  EXPECT_EQ(sound[79], SOUND_PLAY);
  Frame(90.0f, 200);
  SetBeaconData({31, 0, 0, 0});
  EXPECT_EQ(sound[80], SOUND_PLAY);
}

TEST(PluginLoad, load_fills_the_reserves_and_points_at_them) {
  int host[kElementCount];
  gPanel = host;
  PanelReserve()[3] = 9;
  SoundReserve()[4] = 1;
  Load();
  EXPECT_EQ(gPanel, PanelReserve());
  EXPECT_EQ(gSound, SoundReserve());
  for (int i = 0; i < kElementCount; i++) {
    EXPECT_EQ(PanelReserve()[i], 0);
    EXPECT_EQ(SoundReserve()[i], SOUND_STOP);
  }
}

// The beacons each row of the plug-in's table was passed: its system and the beacon's type.
std::vector<std::pair<CabSystem, int32_t>> gHeard;
template <int Row>
void HeardBy(ATS_BEACONDATA beacon) {
  gHeard.push_back({CabSystemRowAt(Row).system, beacon.Type});
}
void (*const kHearers[])(ATS_BEACONDATA) = {HeardBy<0>, HeardBy<1>, HeardBy<2>, HeardBy<3>, HeardBy<4>,
                                            HeardBy<5>, HeardBy<6>, HeardBy<7>, HeardBy<8>};
const int kHearerCount = sizeof(kHearers) / sizeof(kHearers[0]);

TEST(PluginBeacons, every_listed_type_reaches_the_systems_the_list_names_and_no_other) {
  ASSERT_EQ(CabSystemRowCount(), kHearerCount);
  CabSystemRow spies[kHearerCount];
  const CabSystemRow* rows[kHearerCount];
  for (int i = 0; i < kHearerCount; i++) {
    spies[i] = CabSystemRowAt(i);
    spies[i].beacon = kHearers[i];
    rows[i] = &spies[i];
  }
  TempFolder folder;
  const std::string config = folder.File("Velmora.cfg");
  ASSERT_TRUE(WriteBytes(config, "runawstpws=1\nrunvigilance=1\nrunoverspeed=1\nrunpowergaps=1\nrunwipers=1\n"
                                 "runcabindicators=1\nruntraction=1\nrunpzb90=1\n"));
  SetConfigPathOverride(config.c_str());
  UseCabSystemRowsForTesting(rows);
  Load();
  SetVehicleSpec(ATS_VEHICLESPEC{8, 8, 1, 6, 4});
  Initialize(0);
  std::set<int32_t> types = {-1, 0, 19, 32, 43999, 44005, 48999, 49002};
  for (int b = 0; b < kBeaconTypeCount; b++) types.insert(kBeaconTypes[b].type);
  for (int32_t type : types) {
    std::multiset<CabSystem> listed;
    for (int b = 0; b < kBeaconTypeCount; b++) {
      if (kBeaconTypes[b].type == type) listed.insert(kBeaconTypes[b].system);
    }
    gHeard.clear();
    SetBeaconData({type, 0, 0.0f, 0});
    std::multiset<CabSystem> heard;
    for (const auto& h : gHeard) heard.insert(h.first);
    EXPECT_EQ(heard, listed) << "beacon type " << type;
  }
  Dispose();
  UseCabSystemRowsForTesting(nullptr);
  SetConfigPathOverride(nullptr);
}

}  // namespace

// Whole values held to the 32-bit range end where the truncation of the same value as a real
// number ends, at both edges of the range and far beyond them.
TEST(WholeValues, clamp_matches_truncation_of_the_same_value) {
  const int64_t values[] = {0, -1, 1, INT32_MAX - 1LL, INT32_MAX, INT32_MAX + 1LL, INT32_MIN + 1LL,
                            INT32_MIN, INT32_MIN - 1LL, INT64_MAX, INT64_MIN, (1LL << 53) + 1};
  for (int64_t v : values) {
    EXPECT_EQ(ClampToInt(v), TruncToInt(static_cast<double>(v))) << v;
  }
}

// Reals truncate toward zero; past either end of the 32-bit range they hold that end, also just
// past it, and a value that is not a number gives 0.
TEST(WholeValues, truncation_holds_reals_to_the_32_bit_range) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    int32_t whole;
  } cases[] = {{2.9, 2},           {-2.9, -2},          {2147483646.9, 2147483646}, {2147483647.0, INT32_MAX},
               {2147483647.5, INT32_MAX}, {2147483648.0, INT32_MAX}, {inf, INT32_MAX},
               {-2147483648.0, INT32_MIN}, {-2147483648.5, INT32_MIN}, {-2147483649.0, INT32_MIN},
               {-inf, INT32_MIN},  {std::nan(""), 0}};
  for (const auto& c : cases) EXPECT_EQ(TruncToInt(c.value), c.whole) << c.value;
}

// The values kept per notch read as the option's own, within the kept table, below it and past
// it, for an option with more values than are kept and for one with fewer.
TEST(NotchValues, the_kept_values_are_the_option_values_of_every_notch) {
  ASSERT_EQ(LoadConfigText("ammetervalues=0,10,20,30,40,50,60,70,80,90,100,110,120,130,140,150,160,170,180,190\n"
                           "vigilanceinterval=5000,4000\n"),
            1);
  for (OptionId option : {OPT_ammetervalues, OPT_vigilanceinterval}) {
    const NotchValues kept = KeepNotchValues(option);
    for (int64_t k : {INT64_MIN, int64_t{-1}, int64_t{0}, int64_t{1}, int64_t{kNotchValuesKept - 1},
                      int64_t{kNotchValuesKept}, int64_t{19}, int64_t{20}, INT64_MAX}) {
      EXPECT_EQ(NotchValueAt(kept, k), OptAt(option, k)) << option << " " << k;
    }
  }
  EXPECT_EQ(NotchValueAt(KeepNotchValues(OPT_ammetervalues), 12), 120);
  EXPECT_EQ(OptAt(OPT_ammetervalues, 17), 170);
  ScrapConfig();
  SetDefaults();
}
