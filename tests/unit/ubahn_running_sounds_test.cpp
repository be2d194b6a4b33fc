#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "ubahn_equipment_setup.h"

namespace {

using Events = std::vector<std::pair<int32_t, int>>;  // (time, sound element started)

class RunningSounds : public ::testing::Test {
 public:
  void SetUp() override {
    StartEquipment();
    At(1000, 0.0f);
  }
  bool Played(int element) {
    bool played = gSound[element] == SOUND_PLAY;
    gSound[element] = SOUND_STOP;
    return played;
  }
  // The elements among `elements` that were started since they were last looked at.
  void Collect(const std::vector<int>& elements, Events& events) {
    for (int element : elements) {
      if (Played(element)) events.push_back({gState.Time, element});
    }
  }
  void Frame(int32_t time, float speed, double location = 0.0) {
    At(time, speed, location);
    Schienenstoss(TestCab());
    Deuta(TestCab());
    Kurvensound_schnell(TestCab());
    Kurvensound_langsam(TestCab());
    Fahrsound(TestCab());
  }
};

// 36 km/h is 0.01 m per ms; frames every 20 ms from the joint at time 0.
Events PassRailJoint(RunningSounds& test, double direction) {
  Events events;
  At(0, 36.0f, 0.0);
  SetSchienenstoss(TestCab());
  for (int32_t t = 20; t <= 2500; t += 20) {
    test.Frame(t, 36.0f, direction * t / 100.0);
    for (int element : {24, 25, 26}) {
      if (gSound[element] == SOUND_PLAY) events.push_back({t, element});
      gSound[element] = SOUND_STOP;
    }
  }
  return events;
}

TEST_F(RunningSounds, rail_joint_knocks_three_pairs_of_wheelsets_in_turn) {
  Events expected = {{20, 24}, {200, 24}, {960, 25}, {1160, 25}, {1620, 26}, {1800, 26}};
  EXPECT_EQ(PassRailJoint(*this, 1.0), expected);
  EXPECT_FALSE(TestCab().sounds.schienenstoss);
  EXPECT_EQ(TestCab().sounds.knocks, kKnocksNone);
}

TEST_F(RunningSounds, rail_joint_knocks_the_same_when_reversing) {
  Events expected = {{20, 24}, {200, 24}, {960, 25}, {1160, 25}, {1620, 26}, {1800, 26}};
  EXPECT_EQ(PassRailJoint(*this, -1.0), expected);
}

TEST_F(RunningSounds, a_frame_covering_several_knocks_plays_them_all) {
  At(0, 80.0f, 100.0);
  SetSchienenstoss(TestCab());
  Frame(50, 80.0f, 112.0);
  EXPECT_TRUE(Played(24));
  EXPECT_TRUE(Played(25));
  EXPECT_FALSE(Played(26));
  EXPECT_GE(TestCab().sounds.knocks, kKnocked4);
  EXPECT_LT(TestCab().sounds.knocks, kKnocked5);
}

TEST_F(RunningSounds, second_joint_during_a_sequence_plays_only_the_remaining_knocks_from_there) {
  At(0, 36.0f, 0.0);
  SetSchienenstoss(TestCab());
  Frame(50, 36.0f, 12.0);  // four knocks
  ASSERT_GE(TestCab().sounds.knocks, kKnocked4);
  Played(24);
  Played(25);
  At(60, 36.0f, 12.0);
  SetSchienenstoss(TestCab());
  Frame(100, 36.0f, 22.0);
  EXPECT_FALSE(Played(24));
  EXPECT_FALSE(Played(25));
  EXPECT_FALSE(Played(26));  // 10 m from the new joint: the fifth knock comes at 16.05 m
  Frame(200, 36.0f, 28.1);
  EXPECT_TRUE(Played(26));
  EXPECT_FALSE(Played(25));
  EXPECT_TRUE(TestCab().sounds.schienenstoss);
  Frame(300, 36.0f, 30.0);
  EXPECT_TRUE(Played(26));
  EXPECT_FALSE(TestCab().sounds.schienenstoss);
}

TEST_F(RunningSounds, a_location_that_is_not_a_number_knocks_nothing_and_breaks_nothing) {
  At(0, 36.0f, 0.0);
  SetSchienenstoss(TestCab());
  Frame(50, 36.0f, std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(Played(24));
  Frame(100, 36.0f, 20.0);
  EXPECT_TRUE(Played(24));
  EXPECT_TRUE(Played(26));
  EXPECT_FALSE(TestCab().sounds.schienenstoss);
}

TEST_F(RunningSounds, overspeed_warning_closes_the_valve_300_ms_into_the_episode) {
  Frame(1000, 73.0f);
  EXPECT_EQ(gSound[0], SOUND_LOOP);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaRuhe);
  Frame(1250, 73.0f);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaBremst);
  Frame(1300, 71.0f);
  EXPECT_EQ(gSound[0], SOUND_LOOP);  // between 70 and 72 nothing changes
  EXPECT_NE(TestCab().sounds.deuta, kDeutaRuhe);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaBremst);
  Frame(1400, 72.5f);
  EXPECT_EQ(TestCab().sounds.deuta, kDeutaBremst);
  EXPECT_TRUE(Played(8));
  Frame(1800, 73.0f);
  EXPECT_FALSE(Played(8));  // the valve closes once
}

TEST_F(RunningSounds, overspeed_warning_ends_strictly_below_70) {
  Frame(1000, 80.0f);
  Frame(1300, 80.0f);
  ASSERT_EQ(TestCab().sounds.deuta, kDeutaBremst);
  Frame(1350, 72.0f);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaRuhe);
  Frame(1400, 70.0f);
  EXPECT_EQ(gSound[0], SOUND_LOOP);
  EXPECT_EQ(TestCab().sounds.deuta, kDeutaBremst);
  Frame(1450, 69.9f);
  EXPECT_EQ(gSound[0], SOUND_STOP);
  EXPECT_EQ(TestCab().sounds.deuta, kDeutaRuhe);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaBremst);
  // A new episode starts its own 300 ms.
  Frame(1500, 75.0f);
  Frame(1750, 75.0f);
  EXPECT_NE(TestCab().sounds.deuta, kDeutaBremst);
  Frame(1800, 75.0f);
  EXPECT_EQ(TestCab().sounds.deuta, kDeutaBremst);
}

TEST_F(RunningSounds, a_speed_that_is_not_a_number_changes_no_sound) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Frame(1000, 40.0f);
  Frame(1050, 80.0f);
  SetKurvensound_schnell(TestCab(), 1);
  for (int e = 0; e < 70; e++) gSound[e] = SOUND_STOP;
  const bool before[] = {TestCab().sounds.deuta != kDeutaRuhe, TestCab().sounds.langsam.an, TestCab().sounds.mittel.an, TestCab().sounds.schnell.an, TestCab().sounds.kurve_schnell.unterdrueckung};
  for (int32_t t = 1100; t < 10000; t += 50) Frame(t, nan);
  const bool after[] = {TestCab().sounds.deuta != kDeutaRuhe, TestCab().sounds.langsam.an, TestCab().sounds.mittel.an, TestCab().sounds.schnell.an, TestCab().sounds.kurve_schnell.unterdrueckung};
  for (int i = 0; i < 5; i++) EXPECT_EQ(before[i], after[i]) << i;
  for (int e : {50, 52, 58, 60, 61, 63, 64, 66, 8}) EXPECT_NE(gSound[e], SOUND_PLAY) << e;
}

TEST_F(RunningSounds, fast_curve_entered_above_50_starts_twice_and_loops_after_2464_ms) {
  // An earlier curve ended below 50 km/h: the fast kind is silenced.
  TestCab().sounds.kurve_schnell.unterdrueckung = true;
  At(1000, 60.0f);
  SetKurvensound_schnell(TestCab(), 1);
  EXPECT_TRUE(Played(50));
  Frame(1050, 60.0f);
  EXPECT_TRUE(Played(50));
  EXPECT_FALSE(TestCab().sounds.kurve_schnell.unterdrueckung);
  Frame(3500, 60.0f);
  EXPECT_NE(gSound[51], SOUND_LOOP);
  Frame(3514, 60.0f);
  EXPECT_EQ(gSound[51], SOUND_LOOP);
}

TEST_F(RunningSounds, fast_curve_sound_ends_below_50_and_starts_again_above) {
  At(1000, 60.0f);
  SetKurvensound_schnell(TestCab(), 1);
  Frame(1050, 60.0f);
  Frame(4000, 60.0f);
  ASSERT_EQ(gSound[51], SOUND_LOOP);
  Played(50);
  Frame(4050, 45.0f);
  EXPECT_TRUE(Played(52));
  EXPECT_EQ(gSound[51], SOUND_STOP);
  Frame(6000, 45.0f);
  EXPECT_FALSE(Played(52));
  Frame(6050, 51.0f);
  EXPECT_TRUE(Played(50));
  Frame(8500, 51.0f);
  EXPECT_EQ(gSound[51], SOUND_STOP);
  Frame(8514, 51.0f);
  EXPECT_EQ(gSound[51], SOUND_LOOP);
}

TEST_F(RunningSounds, fast_curve_end_plays_its_end_sound_only_above_50) {
  At(1000, 60.0f);
  SetKurvensound_schnell(TestCab(), 1);
  Frame(1050, 60.0f);
  Frame(4000, 60.0f);
  At(4050, 40.0f);
  SetKurvensound_schnell(TestCab(), 0);
  EXPECT_FALSE(Played(52));
  EXPECT_EQ(gSound[51], SOUND_STOP);
  At(5000, 60.0f);
  SetKurvensound_schnell(TestCab(), 1);
  EXPECT_TRUE(Played(50));
  SetKurvensound_schnell(TestCab(), 0);
  EXPECT_TRUE(Played(52));
  Frame(9000, 60.0f);  // outside a curve nothing plays
  EXPECT_NE(gSound[51], SOUND_LOOP);
  EXPECT_FALSE(Played(50));
}

TEST_F(RunningSounds, slow_curve_end_cuts_both_its_start_and_its_loop) {
  At(1000, 30.0f);
  SetKurvensound_langsam(TestCab(), 1);
  Frame(1050, 30.0f);
  EXPECT_TRUE(Played(53));
  gSound[53] = SOUND_PLAY;  // still sounding
  Frame(5975, 30.0f);
  EXPECT_EQ(gSound[54], SOUND_LOOP);
  At(6000, 30.0f);
  SetKurvensound_langsam(TestCab(), 0);
  EXPECT_TRUE(Played(55));
  EXPECT_EQ(gSound[54], SOUND_STOP);
  EXPECT_EQ(gSound[53], SOUND_STOP);
}

TEST_F(RunningSounds, slow_curve_below_25_stops_start_and_loop) {
  At(1000, 30.0f);
  SetKurvensound_langsam(TestCab(), 1);
  Frame(1050, 30.0f);
  gSound[53] = SOUND_PLAY;
  Frame(1100, 24.0f);
  EXPECT_TRUE(Played(55));
  EXPECT_EQ(gSound[53], SOUND_STOP);
  EXPECT_EQ(gSound[54], SOUND_STOP);
}

TEST_F(RunningSounds, accelerating_through_the_bands_hands_each_on_to_the_next) {
  Events events;
  const std::vector<int> sounds = {58, 60, 61, 63, 64, 66};
  float speed = 0.0f;
  int32_t t = 1000;
  for (int i = 0; i <= 600; i++) {  // 0.1 km/h per frame up to 60 km/h
    speed = static_cast<float>(i) / 10.0f;
    Frame(t, speed);
    Collect(sounds, events);
    t += 50;
  }
  Events expected = {{1000 + 151 * 50, 58}, {1000 + 351 * 50, 60}, {1000 + 351 * 50, 61},
                     {1000 + 551 * 50, 63}, {1000 + 551 * 50, 64}};
  EXPECT_EQ(events, expected);
  EXPECT_TRUE(TestCab().sounds.schnell.an);
  EXPECT_FALSE(TestCab().sounds.mittel.an);
  EXPECT_EQ(gSound[59], SOUND_STOP);
  EXPECT_EQ(gSound[62], SOUND_STOP);
  EXPECT_EQ(gSound[65], SOUND_STOP);  // 2450 ms above 55 km/h: its loop comes at 3076 ms
  Frame(1000 + 551 * 50 + 3076, 60.0f);
  EXPECT_EQ(gSound[65], SOUND_LOOP);
}

TEST_F(RunningSounds, running_band_loops_after_its_delay) {
  Frame(1000, 20.0f);
  EXPECT_TRUE(Played(58));
  Frame(3400, 20.0f);
  EXPECT_EQ(gSound[59], SOUND_STOP);
  Frame(3430, 20.0f);
  EXPECT_EQ(gSound[59], SOUND_LOOP);
  Frame(3500, 14.0f);
  EXPECT_EQ(gSound[59], SOUND_STOP);
  EXPECT_TRUE(Played(60));
}

TEST_F(RunningSounds, exactly_35_keeps_the_slow_band_sounding) {
  Frame(1000, 20.0f);
  for (int32_t t = 1050; t < 6000; t += 50) Frame(t, 35.0f);
  EXPECT_TRUE(TestCab().sounds.langsam.an);
  EXPECT_FALSE(TestCab().sounds.mittel.an);
  EXPECT_FALSE(Played(60));
}

TEST_F(RunningSounds, running_backward_sounds_no_band) {
  for (int32_t t = 1000; t < 5000; t += 50) Frame(t, -40.0f);
  EXPECT_FALSE(TestCab().sounds.langsam.an || TestCab().sounds.mittel.an || TestCab().sounds.schnell.an);
  EXPECT_EQ(gSound[58], SOUND_STOP);
}

}  // namespace
