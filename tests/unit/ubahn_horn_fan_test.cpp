#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "platform/platform_random.h"
#include "ubahn_equipment_setup.h"

namespace {

const int kKeyHorn = 2;
const int kKeyAnnouncement = 4;
const int kHostHorn = 100;

class Horn : public ::testing::Test {
 protected:
  void SetUp() override {
    StartEquipment();
    At(10000, 0.0f);
  }
  bool Played(int element) {
    bool played = gSound[element] == SOUND_PLAY;
    gSound[element] = SOUND_STOP;
    return played;
  }
};

TEST_F(Horn, horn_starts_loops_after_120_ms_and_ends_on_release) {
  Hupe_ein(TestCab(), kKeyHorn);
  EXPECT_TRUE(Played(13));
  gSound[13] = SOUND_PLAY;  // still sounding
  EXPECT_EQ(gPanel[kPanelHornButton], 1);
  At(10110, 0.0f);
  Huploop(TestCab());
  EXPECT_EQ(gSound[14], SOUND_STOP);
  At(10125, 0.0f);
  Huploop(TestCab());
  EXPECT_EQ(gSound[14], SOUND_LOOP);
  At(10500, 0.0f);
  Huploop(TestCab());
  Hupe_aus(TestCab(), kKeyHorn);
  EXPECT_TRUE(Played(15));
  EXPECT_EQ(gSound[13], SOUND_STOP);
  EXPECT_EQ(gSound[14], SOUND_STOP);
  EXPECT_EQ(gPanel[kPanelHornButton], 0);
  At(10800, 0.0f);
  Huploop(TestCab());
  EXPECT_EQ(gSound[14], SOUND_STOP);
}

TEST_F(Horn, held_horn_key_starts_the_horn_once) {
  Hupe_ein(TestCab(), kKeyHorn);
  Played(13);
  At(10050, 0.0f);
  Hupe_ein(TestCab(), kKeyHorn);
  EXPECT_FALSE(Played(13));
  EXPECT_EQ(TestCab().hornFan.huptimer, 10000);
}

TEST_F(Horn, horn_release_without_a_press_plays_the_end_sound) {
  Hupe_aus(TestCab(), kKeyHorn);
  EXPECT_TRUE(Played(15));
  Hupe_aus(TestCab(), 3);
  EXPECT_FALSE(Played(15));
}

class Announcements : public Horn {};

TEST_F(Announcements, first_request_after_loading_only_starts_the_lockout) {
  ELA(TestCab(), kHostHorn);
  EXPECT_FALSE(Played(28));
  At(10999, 0.0f);
  ELA(TestCab(), kHostHorn);
  EXPECT_FALSE(Played(28));
  At(11000, 0.0f);
  ELA(TestCab(), kHostHorn);
  EXPECT_TRUE(Played(28));
  At(12999, 0.0f);
  ELA(TestCab(), kHostHorn);
  EXPECT_FALSE(Played(28));
  At(13000, 0.0f);
  ELA(TestCab(), kHostHorn);
  EXPECT_TRUE(Played(28));
}

TEST_F(Announcements, destination_announcement_plays_the_element_of_the_last_destination_beacon) {
  ELA(TestCab(), kKeyAnnouncement);
  SetFahrtziel(TestCab(), 90);
  At(11000, 0.0f);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_TRUE(Played(90));
  At(15999, 0.0f);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_FALSE(Played(90));
  At(16000, 30.0f);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_TRUE(Played(29));
  EXPECT_FALSE(Played(90));
  At(16149, 30.0f);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_FALSE(Played(29));
  At(16150, 7.0f);  // exactly 7 km/h counts as moving
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_TRUE(Played(29));
}

TEST_F(Announcements, before_any_destination_beacon_the_announcement_is_element_0) {
  ELA(TestCab(), kKeyAnnouncement);
  At(11000, 0.0f);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_TRUE(Played(0));
}

TEST_F(Announcements, destination_outside_the_sound_array_plays_nothing_but_locks_out) {
  for (int destination : {-1, 256, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    StartEquipment();
    At(10000, 0.0f);
    SetFahrtziel(TestCab(), destination);
    ELA(TestCab(), kKeyAnnouncement);
    At(11000, 0.0f);
    ELA(TestCab(), kKeyAnnouncement);
    for (int e = 0; e < kElementCount; e++) EXPECT_EQ(gSound[e], SOUND_STOP) << destination << " " << e;
    EXPECT_EQ(TestCab().hornFan.wartezeit, 5000);
    EXPECT_EQ(TestCab().hornFan.ELAtimer, 11000);
  }
}

TEST_F(Announcements, other_keys_leave_the_announcements_alone) {
  ELA(TestCab(), 5);
  ELA(TestCab(), 0);
  ELA(TestCab(), 2);
  EXPECT_EQ(TestCab().hornFan.ELAtimer, 0);
  ELA(TestCab(), kKeyAnnouncement);
  EXPECT_EQ(TestCab().hornFan.ELAtimer, 10000);
}

TEST_F(Announcements, horn_while_moving_or_at_a_speed_that_is_not_a_number_gives_the_short_signal) {
  ELA(TestCab(), kHostHorn);
  At(11000, std::numeric_limits<float>::quiet_NaN());
  ELA(TestCab(), kHostHorn);
  EXPECT_TRUE(Played(29));
  EXPECT_FALSE(Played(28));
  At(11150, -20.0f);  // backward counts as below 7 km/h
  ELA(TestCab(), kHostHorn);
  EXPECT_TRUE(Played(28));
}

// The master controller leaves neutral at 10000 and stays out; frames every 10 ms.
class Fan : public Horn {
 protected:
  int32_t now = 10000;
  int32_t buzzerEnd = -1;  // time the buzzer's end sound played
  void LeaveNeutral() {
    At(now, 0.0f);
    FahrschalterAuf(TestCab(), 5);
  }
  void RunUntil(int32_t until) {
    while (now < until) {
      now += 10;
      At(now, 0.0f);
      lueftersound(TestCab());
      if (Played(68)) buzzerEnd = now;
    }
  }
};

TEST_F(Fan, buzzer_sounds_once_between_150_ms_and_its_drawn_end_and_the_fan_follows_at_4020) {
  LeaveNeutral();
  ASSERT_EQ(TestCab().master.fahrschalter, 3);
  ASSERT_EQ(TestCab().hornFan.summer, kBuzzerWaiting);
  RunUntil(10140);
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 0);
  EXPECT_FALSE(Played(67));
  RunUntil(10150);
  EXPECT_TRUE(Played(67));
  gSound[67] = SOUND_PLAY;
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 1);
  RunUntil(10230);
  EXPECT_EQ(gSound[12], SOUND_STOP);
  RunUntil(10240);
  EXPECT_EQ(gSound[12], SOUND_LOOP);
  RunUntil(14010);
  EXPECT_GE(buzzerEnd, 10501);
  EXPECT_LE(buzzerEnd, 11300);
  EXPECT_EQ(TestCab().hornFan.summer, kBuzzerOver);
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 0);
  EXPECT_EQ(gSound[12], SOUND_STOP);
  EXPECT_EQ(gSound[67], SOUND_STOP);
  EXPECT_NE(gSound[10], SOUND_LOOP);
  RunUntil(14020);
  EXPECT_EQ(gSound[10], SOUND_LOOP);
  // Later frames keep the buzzer quiet.
  gSound[10] = SOUND_STOP;
  RunUntil(20000);
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 0);
  EXPECT_EQ(gSound[12], SOUND_STOP);
  EXPECT_EQ(gSound[10], SOUND_LOOP);  // re-asserted every 4020 ms
}

TEST_F(Fan, buzzer_ends_at_the_first_frame_whose_own_draw_has_elapsed) {
  for (unsigned seed : {1u, 7u, 1234u, 99999u}) {
    StartEquipment();
    now = 10000;
    buzzerEnd = -1;
    // The draws the frames will make, one per frame.
    PlatformSeedRandom(seed);
    int32_t predicted = -1;
    for (int32_t t = 10010; t <= 12000 && predicted < 0; t += 10) {
      int32_t length = PlatformRandom() % 800 + 501;
      if (t - 10000 >= length) predicted = t;
    }
    PlatformSeedRandom(seed);
    LeaveNeutral();
    RunUntil(12000);
    EXPECT_EQ(buzzerEnd, predicted) << seed;
  }
}

TEST_F(Fan, every_frame_draws_exactly_one_random_number) {
  PlatformSeedRandom(42);
  int expected[40];
  for (int& value : expected) value = PlatformRandom();
  PlatformSeedRandom(42);
  LeaveNeutral();
  RunUntil(10000 + 20 * 10);  // twenty frames out of neutral
  EXPECT_EQ(PlatformRandom(), expected[20]);
  PlatformSeedRandom(42);
  FahrschalterNull(TestCab(), 7);
  RunUntil(now + 10 * 10);  // ten frames in neutral
  EXPECT_EQ(PlatformRandom(), expected[10]);
}

TEST_F(Fan, throwing_to_neutral_silences_the_buzzer_and_leaving_again_starts_it_afresh) {
  LeaveNeutral();
  RunUntil(10300);
  At(now, 0.0f);
  FahrschalterNull(TestCab(), 7);
  EXPECT_EQ(gSound[12], SOUND_STOP);
  EXPECT_EQ(gSound[10], SOUND_STOP);
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 0);
  RunUntil(12000);
  EXPECT_EQ(buzzerEnd, -1);
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 0);
  EXPECT_NE(gSound[10], SOUND_LOOP);
  Played(67);
  const int32_t left = now;
  LeaveNeutral();
  RunUntil(left + 150);
  EXPECT_TRUE(Played(67));
  EXPECT_EQ(gPanel[kPanelFanBuzzer], 1);
}

TEST_F(Fan, moving_between_driving_positions_restarts_neither_buzzer_nor_fan) {
  LeaveNeutral();
  RunUntil(12000);
  const int32_t fanTimer = TestCab().hornFan.lueftertimer;
  for (int i = 0; i < 4; i++) FahrschalterAuf(TestCab(), 5);
  for (int i = 0; i < 4; i++) FahrschalterAb(TestCab(), 6);
  EXPECT_EQ(TestCab().master.fahrschalter, 3);
  EXPECT_EQ(TestCab().hornFan.summer, kBuzzerOver);
  EXPECT_EQ(TestCab().hornFan.lueftertimer, fanTimer);
  RunUntil(13000);
  EXPECT_FALSE(Played(67));
}

TEST_F(Fan, an_unwired_buzzer_display_still_starts_the_buzzer_once) {
  gOpts[OPT_luefter].value = -1;
  LeaveNeutral();
  RunUntil(10150);
  EXPECT_TRUE(Played(67));
  RunUntil(10240);
  EXPECT_FALSE(Played(67));  // not replayed every frame
  EXPECT_EQ(gSound[12], SOUND_LOOP);
  // And after a throw to neutral it starts once more.
  RunUntil(12000);
  At(now, 0.0f);
  FahrschalterNull(TestCab(), 7);
  RunUntil(12100);
  const int32_t left = now;
  LeaveNeutral();
  RunUntil(left + 150);
  EXPECT_TRUE(Played(67));
}

TEST_F(Fan, a_throw_to_neutral_and_back_between_two_frames_starts_the_buzzer_afresh_wired_or_not) {
  for (int display : {kPanelFanBuzzer, -1}) {
    StartEquipment();
    now = 10000;
    gOpts[OPT_luefter].value = display;
    LeaveNeutral();
    RunUntil(10200);  // the buzzer sounds and its display is lit
    ASSERT_TRUE(Played(67)) << display;
    // Thrown to neutral, which puts the display out, and taken out again before the next frame.
    FahrschalterNull(TestCab(), 7);
    FahrschalterAuf(TestCab(), 5);
    const int32_t left = now;
    RunUntil(left + 140);
    EXPECT_FALSE(Played(67)) << display;
    RunUntil(left + 150);
    EXPECT_TRUE(Played(67)) << display;
  }
}

// The buzzer's steps once fired count their periods from clock time -1 ms, and a buzzer started
// at -1 begins where they do. Per frame: 's' start sound, 'e' end sound, '-' neither; then the
// display (wired rows only).
struct BuzzerClockRow {
  const char* name;
  bool wired;                  // the buzzer display is wired to a panel element
  bool lit;                    // a buzzer sounded when the controller was thrown to neutral and back
  int32_t leftAt;              // clock at which the controller leaves neutral, ms
  std::vector<int32_t> frames; // clocks of the frames that follow, ms
  const char* expected;
};

TEST_F(Fan, buzzer_steps_count_from_clock_minus_1_at_every_clock) {
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  const BuzzerClockRow rows[] = {
      {"left_at_-1_an_unwired_lit_display_stays_lit", false, true, -1, {-1, 148, 149, 1300}, "---e"},
      {"left_at_-2_an_unwired_lit_display_is_put_out", false, true, -2, {-1, 147, 148, 1300}, "--se"},
      {"left_at_-1_a_wired_display_reads_the_panel", true, true, -1, {-1, 148, 149}, "-0-0s1"},
      {"left_at_0_armed_by_a_frame_at_-1", false, true, 0, {-1, 148, 149}, "--s"},
      {"after_the_end_149_to_499_light_the_display", true, false, -2000,
       {-1850, -500, -1, 148, 149, 499, 1299}, "s1e0-0-0-1-1-0"},
      {"across_the_wrap", true, false, kMax - 100, {kMax, kMin + 49, kMin + 1300}, "-0s1e0"},
  };
  for (const BuzzerClockRow& row : rows) {
    StartEquipment();
    if (!row.wired) gOpts[OPT_luefter].value = -1;
    if (row.lit) {  // a buzzer sounding, thrown to neutral and back without a frame between
      At(row.leftAt - 400, 0.0f);
      FahrschalterAuf(TestCab(), 5);
      At(row.leftAt - 200, 0.0f);
      lueftersound(TestCab());
      ASSERT_TRUE(Played(67)) << row.name;
      FahrschalterNull(TestCab(), 7);
    }
    At(row.leftAt, 0.0f);
    FahrschalterAuf(TestCab(), 5);
    std::string trace;
    for (int32_t t : row.frames) {
      At(t, 0.0f);
      lueftersound(TestCab());
      trace += Played(67) ? 's' : Played(68) ? 'e' : '-';
      if (row.wired) trace += std::to_string(gPanel[kPanelFanBuzzer]);
    }
    EXPECT_EQ(trace, row.expected) << row.name;
  }
}

}  // namespace
