#include <gtest/gtest.h>

#include "ubahn_equipment_setup.h"

namespace {

const int kKeyApply = 11;
const int kKeyRelease = 12;
const int kKeyTripStop = 0;

class SpringBrake : public ::testing::Test {
 protected:
  int32_t now = 1000;
  CounterFolder counters;  // a trip-stop reset writes its counter
  void SetUp() override {
    StartEquipment();
    TestCab().master.fahrschalter = 3;
    At(now, 0.0f);
  }
  void RunUntil(int32_t until) {
    while (now < until) {
      now += 50;
      At(now, 0.0f);
      Speicherbremse(TestCab());
    }
  }
  void Down(int key) {
    At(now, 0.0f);
    Speicherbremse_ein_druecken(TestCab(), key);
    Speicherbremse_aus_druecken(TestCab(), key);
  }
  void Up(int key) {
    Speicherbremse_ein_loslassen(TestCab(), key);
    Speicherbremse_aus_loslassen(TestCab(), key);
  }
  bool Played(int element) {
    bool played = gSound[element] == SOUND_PLAY;
    gSound[element] = SOUND_STOP;
    return played;
  }
  // Applied and both lamps lit by the time returned.
  void Apply() {
    Down(kKeyApply);
    Up(kKeyApply);
    RunUntil(now + 1100);
    ASSERT_TRUE(TestCab().springBrake.federspeicher_aktiv);
    Played(69);
  }
};

TEST_F(SpringBrake, first_apply_after_loading_starts_its_delays_at_the_next_frame) {
  Down(kKeyApply);
  EXPECT_TRUE(Played(69));
  EXPECT_EQ(gPanel[kPanelSpringApplyDark], 1);
  Up(kKeyApply);
  EXPECT_EQ(gPanel[kPanelSpringApplyDark], 0);
  RunUntil(1900);
  EXPECT_FALSE(TestCab().springBrake.speicherbremse_LM_gelb);
  RunUntil(1950);  // 900 ms after the first frame at 1050
  EXPECT_TRUE(TestCab().springBrake.speicherbremse_LM_gelb);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  EXPECT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(2050);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  EXPECT_EQ(gPanel[kPanelSpringRed], 1);
}

TEST_F(SpringBrake, apply_after_a_release_counts_its_delays_from_the_press) {
  Apply();
  Down(kKeyRelease);
  RunUntil(now + 1300);
  Up(kKeyRelease);
  ASSERT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  const int32_t pressed = now;
  Down(kKeyApply);
  EXPECT_TRUE(Played(69));
  EXPECT_EQ(gPanel[kPanelSpringApplyDark], 1);
  Up(kKeyApply);
  RunUntil(pressed + 850);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 0);
  RunUntil(pressed + 900);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  EXPECT_EQ(gPanel[kPanelSpringRed], 0);
  RunUntil(pressed + 950);
  EXPECT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(pressed + 1000);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  EXPECT_EQ(gPanel[kPanelSpringRed], 1);
  Down(kKeyApply);
  EXPECT_EQ(gPanel[kPanelSpringApplyLit], 1);  // the red lamp was due at this press
}

TEST_F(SpringBrake, lamps_stay_dark_in_neutral_but_the_brake_applies) {
  TestCab().master.fahrschalter = 2;
  Apply();
  EXPECT_EQ(gPanel[kPanelSpringRed], 0);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 0);
  TestCab().master.fahrschalter = 3;
  RunUntil(now + 50);
  EXPECT_EQ(gPanel[kPanelSpringRed], 1);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
}

TEST_F(SpringBrake, apply_sound_plays_once_per_apply) {
  Down(kKeyApply);
  Down(kKeyApply);  // host key repeat
  Played(69);
  Down(kKeyApply);
  EXPECT_FALSE(Played(69));
  Up(kKeyApply);
  Down(kKeyApply);  // a second press while applying
  EXPECT_FALSE(Played(69));
}

TEST_F(SpringBrake, release_held_puts_red_out_at_900_and_yellow_at_1200) {
  Apply();
  const int32_t pressed = now;
  Down(kKeyRelease);
  EXPECT_TRUE(Played(70));
  EXPECT_EQ(gPanel[kPanelSpringRelease], 1);
  RunUntil(pressed + 850);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(pressed + 900);
  EXPECT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  EXPECT_EQ(gPanel[kPanelSpringRed], 0);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  RunUntil(pressed + 1150);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  RunUntil(pressed + 1200);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 0);
  Up(kKeyRelease);
  EXPECT_TRUE(Played(71));
  EXPECT_EQ(gPanel[kPanelSpringRelease], 0);
}

TEST_F(SpringBrake, release_of_a_released_brake_plays_the_other_sound) {
  Down(kKeyRelease);
  EXPECT_TRUE(Played(72));
  EXPECT_FALSE(Played(70));
}

TEST_F(SpringBrake, release_let_go_early_stays_half_done) {
  Apply();
  const int32_t pressed = now;
  Down(kKeyRelease);
  RunUntil(pressed + 300);
  Up(kKeyRelease);
  EXPECT_TRUE(Played(71));
  RunUntil(pressed + 5000);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  EXPECT_EQ(gPanel[kPanelSpringRed], 1);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  EXPECT_EQ(TestCab().springBrake.befehl, kBefehlLoesen);
}

TEST_F(SpringBrake, release_held_with_key_repeat_for_500_ms_finishes_by_itself) {
  Apply();
  const int32_t pressed = now;
  Down(kKeyRelease);
  while (now < pressed + 600) {
    RunUntil(now + 50);
    Down(kKeyRelease);  // the host repeats the key every frame
    if (now == pressed + 450) {
      EXPECT_FALSE(TestCab().springBrake.speicherbremse_aus_taster == kAusLang || TestCab().springBrake.speicherbremse_aus_taster == kAusNachlauf);
    }
  }
  EXPECT_TRUE(TestCab().springBrake.speicherbremse_aus_taster == kAusLang || TestCab().springBrake.speicherbremse_aus_taster == kAusNachlauf);
  Up(kKeyRelease);
  const int32_t firstFrame = now + 50;
  RunUntil(firstFrame + 850);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(firstFrame + 900);
  EXPECT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 1);
  RunUntil(firstFrame + 1200);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 0);
  EXPECT_FALSE(TestCab().springBrake.speicherbremse_aus_taster == kAusLang || TestCab().springBrake.speicherbremse_aus_taster == kAusNachlauf);
}

TEST_F(SpringBrake, apply_during_a_release_starts_applying_afresh) {
  Apply();
  Down(kKeyRelease);
  RunUntil(now + 300);
  Up(kKeyRelease);
  const int32_t pressed = now;
  Down(kKeyApply);
  Up(kKeyApply);
  EXPECT_EQ(TestCab().springBrake.befehl, kBefehlEinlegen);
  EXPECT_NE(TestCab().springBrake.befehl, kBefehlLoesen);
  RunUntil(pressed + 3000);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
}

TEST_F(SpringBrake, apply_after_a_long_release_press_stops_the_release_finishing_by_itself) {
  Apply();
  const int32_t pressed = now;
  Down(kKeyRelease);
  while (now < pressed + 600) {
    RunUntil(now + 50);
    Down(kKeyRelease);
  }
  ASSERT_TRUE(TestCab().springBrake.speicherbremse_aus_taster == kAusLang || TestCab().springBrake.speicherbremse_aus_taster == kAusNachlauf);
  Up(kKeyRelease);
  Down(kKeyApply);
  Up(kKeyApply);
  const int32_t applied = now;
  while (now < applied + 1500) {
    RunUntil(now + 50);
    ASSERT_TRUE(TestCab().springBrake.federspeicher_aktiv) << now - applied;
  }
  EXPECT_EQ(gPanel[kPanelSpringRed], 1);
}

TEST_F(SpringBrake, trip_stop_reset_releases_it_without_a_button_sound) {
  Apply();
  Played(70);
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  const int32_t pressed = now;
  Fahrsperre_druecken(TestCab(), kKeyTripStop);
  EXPECT_TRUE(Played(74));  // reset with the spring brake applied
  EXPECT_FALSE(Played(70));
  EXPECT_FALSE(Played(72));
  EXPECT_EQ(gPanel[kPanelSpringRelease], 0);
  RunUntil(pressed + 850);
  EXPECT_TRUE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(pressed + 900);
  EXPECT_FALSE(TestCab().springBrake.federspeicher_aktiv);
  RunUntil(pressed + 1200);
  EXPECT_EQ(gPanel[kPanelSpringYellow], 0);
  RunUntil(pressed + 1500);
  Fahrsperre_loslassen(TestCab(), kKeyTripStop);
  EXPECT_TRUE(Played(71));
  EXPECT_FALSE(TestCab().springBrake.speicherbremse_aus_taster == kAusGedrueckt || TestCab().springBrake.speicherbremse_aus_taster == kAusLang);
}

TEST_F(SpringBrake, other_keys_do_nothing) {
  for (int key : {-1, 0, 10, 13, 1000}) Down(key), Up(key);
  EXPECT_NE(TestCab().springBrake.befehl, kBefehlEinlegen);
  EXPECT_NE(TestCab().springBrake.befehl, kBefehlLoesen);
  EXPECT_EQ(gSound[69], SOUND_STOP);
  EXPECT_EQ(gSound[71], SOUND_STOP);
}

}  // namespace
