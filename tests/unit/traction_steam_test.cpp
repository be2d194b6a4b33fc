// The steam frame step: direction and power from the cut-off, best cut-off, boiler pressure,
// boiling, safety valves, injector, steam use and tender filling.
#include <limits>

#include "traction_fixture.h"

namespace {

class Steam : public TractionTest {
 protected:
  void SetUp() override {
    TractionTest::SetUp();
    SetValues(OPT_traction, {kTractionSteam});
    SetValues(OPT_cutoffindicator, {16});
    SetValues(OPT_boilerpressureindicator, {17});
    SetValues(OPT_boilerwaterlevelindicator, {18});
    SetValues(OPT_fuelindicator, {12});
    Start();
  }
};

// ---- Cut-off, direction and power ----

TEST_F(Steam, cutoff_inside_the_dead_band_holds_neutral_and_no_power) {
  Drive(1, 5);
  for (int32_t c : {15, 0, -15}) {
    trac.cutoff = c;
    Frame(1000, 0.0f);
    EXPECT_EQ(trac.stm_reverser, 0);
    EXPECT_EQ(gHandles.Reverser, 0);
    EXPECT_EQ(gHandles.Power, 0);
    EXPECT_EQ(gPanel[16], c);
  }
}

TEST_F(Steam, full_forward_gear_gives_forward_and_full_power) {
  Drive(1, 5);
  trac.cutoff = 75;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_reverser, 1);
  EXPECT_EQ(gHandles.Reverser, 1);
  EXPECT_EQ(trac.stm_power, 5);
  EXPECT_EQ(gHandles.Power, 5);
  trac.cutoff = 10;  // back into the dead band: neutral and no power again
  Frame(1000, 0.0f);
  EXPECT_EQ(gHandles.Reverser, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(Steam, full_reverse_gear_gives_reverse_and_full_power) {
  Drive(-1, 5);
  trac.cutoff = -55;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_reverser, -1);
  EXPECT_EQ(gHandles.Reverser, -1);
  EXPECT_EQ(gHandles.Power, 5);
}

TEST_F(Steam, power_is_lost_away_from_the_best_cutoff) {
  Drive(1, 5);
  trac.cutoff = 39;
  Frame(1000, 50.0f);  // best 75 - 10 x 20 / 10 = 55: |55 - 39| / 8 = 2 notches lost
  EXPECT_EQ(trac.stm_power, 3);
  EXPECT_EQ(gHandles.Power, 3);
  Frame(1000, 30.0f);  // at the base speed the best is full gear: 36 / 8 = 4.5 lost
  EXPECT_EQ(trac.stm_power, 0);
  trac.cutoff = 55;
  Frame(1000, 50.0f);
  EXPECT_EQ(trac.stm_power, 5);
}

TEST_F(Steam, reverse_best_cutoff_rises_with_the_speed_magnitude) {
  Drive(-1, 5);
  trac.cutoff = -35;
  Frame(1000, -50.0f);  // best -55 + 10 x 20 / 10 = -35
  EXPECT_EQ(trac.stm_power, 5);
  Frame(1000, -20.0f);  // best -55: 20 / 8 = 2.5 lost
  EXPECT_EQ(trac.stm_power, 2);
}

TEST_F(Steam, zero_cutoffdeviation_makes_the_engine_powerless) {
  SetValues(OPT_cutoffdeviation, {0});
  Drive(1, 5);
  trac.cutoff = 75;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_reverser, 0);
  EXPECT_EQ(gHandles.Reverser, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(Steam, driver_below_full_notch_gets_the_boilers_share) {
  Drive(1, 3);
  trac.cutoff = 75;
  trac.stm_boilerPressure = 16000;  // half the working range: trunc(5 x (0.5 + 0.2 - 0.01)) = 3
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 1);  // 3 - 5 + 3
  EXPECT_EQ(gHandles.Power, 1);
}

TEST_F(Steam, boilers_share_follows_a_vehicle_described_anew_at_the_same_pressure) {
  Drive(1, 5);
  trac.cutoff = 75;
  trac.stm_boilerPressure = 16000;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 3);  // 5 - 5 + trunc(5 x (0.5 + 0.2 - 0.01))
  gTrainspecs.PowerNotches = 4;
  trac.stm_boilerPressure = 16000;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 3);  // 5 - 4 + trunc(4 x (0.5 + 0.25 - 0.01)); 4 with the share of 5
}

TEST_F(Steam, pressure_at_boilerminpressure_gives_no_power) {
  Drive(1, 5);
  trac.cutoff = 75;
  trac.stm_boilerPressure = 12000;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 0);
  EXPECT_EQ(gHandles.Power, 0);
  trac.stm_boilerPressure = 5000;  // below the minimum: still none
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 0);
}

TEST_F(Steam, boiler_without_a_working_range_feeds_all_notches_above_it) {
  SetValues(OPT_boilerminpressure, {20000});
  Drive(1, 5);
  trac.cutoff = 75;
  trac.stm_boilerPressure = 20001;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 5);
  trac.stm_boilerPressure = 20000;
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.stm_power, 0);
}

TEST_F(Steam, mid_gear_takes_the_boilers_share_of_a_driver_notch_beyond_the_vehicles) {
  struct Case {
    int32_t maxPressure;  // boilermaxpressure
    int32_t pressure;     // boiler pressure of the frame
    int32_t notches;      // the vehicle's power notches
    int32_t driver;       // the driver's notch
    int32_t power;        // the power limit held
  };
  const Case cases[] = {
      {20000, 12000, 5, 7, 2},        // the lowest pressure feeds notch 0: 7 - 5 + 0
      {10000, 20000, 5, 7, 0},        // a range upside down: the feed falls below 0 with pressure
      {20000, 12000, 1000, 1005, 0},  // so many notches that the lowest pressure feeds below 0
      {20000, 20000, 5, 5, 0},        // within the vehicle's notches: notch 0
  };
  for (const Case& c : cases) {
    SetValues(OPT_boilermaxpressure, {c.maxPressure});
    Start();
    gTrainspecs.PowerNotches = c.notches;
    gDriver.Power = c.driver;
    trac.stm_boilerPressure = c.pressure;
    Frame(1000, 0.0f);
    EXPECT_EQ(trac.stm_power, c.power) << c.maxPressure << " " << c.notches;
  }
}

// ---- Automatic cut-off ----

TEST_F(Steam, automatic_winds_to_full_gear_and_follows_the_best_cutoff) {
  trac.automatic = true;
  Drive(1, 5);
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.cutoff, 75);
  EXPECT_EQ(trac.stm_power, 5);
  Frame(1000, 50.0f);  // best 55: power from the old 75 (2.5 lost), then wound to 55
  EXPECT_EQ(trac.stm_power, 2);
  EXPECT_EQ(trac.cutoff, 55);
  Frame(1000, 50.0f);
  EXPECT_EQ(trac.stm_power, 5);
  Frame(1000, 50.5f);  // best 54.5, truncated
  EXPECT_EQ(trac.cutoff, 54);
  Frame(1000, 200.0f);  // best far below the dead band: held just outside it
  EXPECT_EQ(trac.cutoff, 16);
  Frame(1000, 200.0f);
  EXPECT_EQ(trac.cutoff, 16);
  EXPECT_EQ(trac.stm_reverser, 1);
}

TEST_F(Steam, automatic_winds_to_full_reverse_gear) {
  trac.automatic = true;
  Drive(-1, 5);
  Frame(1000, 0.0f);
  EXPECT_EQ(trac.cutoff, -55);
  Frame(1000, -50.0f);
  EXPECT_EQ(trac.cutoff, -35);
  Frame(1000, -300.0f);
  EXPECT_EQ(trac.cutoff, -16);
}

// ---- Boiler ----

TEST_F(Steam, boiling_turns_one_unit_every_40_ms_and_catches_up_at_most_100) {
  Frame(1039, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 16000);
  Frame(1040, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 15999);
  EXPECT_EQ(trac.stm_boilerPressure, 20001);
  EXPECT_EQ(gPanel[18], 15999);
  EXPECT_EQ(gPanel[17], 20001);
  Frame(1120, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 15997);
  Frame(6120, 0.0f);  // 125 units due: 100 made, one further period consumed
  EXPECT_EQ(trac.stm_boilerWater, 15897);
  EXPECT_EQ(trac.stm_boilerPressure, 20103);
  EXPECT_EQ(trac.boilingTimer, 1120 + 101 * 40);
}

TEST_F(Steam, empty_boiler_consumes_the_period_without_steam) {
  trac.stm_boilerWater = 0;
  Frame(1040, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 0);
  EXPECT_EQ(trac.stm_boilerPressure, 20000);
  EXPECT_EQ(trac.boilingTimer, 1040);
}

TEST_F(Steam, zero_steam_rate_boils_nothing) {
  SetValues(OPT_boilerwatertosteamrate, {0});
  Frame(1040, 0.0f);
  Frame(9000, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 16000);
  EXPECT_EQ(trac.stm_boilerPressure, 20000);
  EXPECT_EQ(trac.boilingTimer, 1000);
  Start();  // a run that starts with the rate at 0 as well
  Frame(20000, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 16000);
  EXPECT_EQ(trac.stm_boilerPressure, 20000);
}

TEST_F(Steam, safety_valves_open_above_blowoff_and_close_below_max_pressure) {
  trac.stm_boilerPressure = 20999;
  Frame(1040, 0.0f);  // exactly 21000: shut
  EXPECT_FALSE(trac.stm_blowOff);
  Frame(1080, 0.0f);  // 21001
  EXPECT_TRUE(trac.stm_blowOff);
  trac.stm_boilerPressure = 20004;
  Frame(1120, 0.0f);  // +1 - 4
  EXPECT_EQ(trac.stm_boilerPressure, 20001);
  EXPECT_TRUE(trac.stm_blowOff);
  Frame(1160, 0.0f);
  EXPECT_EQ(trac.stm_boilerPressure, 19998);
  EXPECT_FALSE(trac.stm_blowOff);
  Frame(1200, 0.0f);
  EXPECT_EQ(trac.stm_boilerPressure, 19999);
}

// ---- Injector ----

TEST_F(Steam, injector_moves_tender_water_into_the_boiler_each_second) {
  SetValues(OPT_injectortogglekey, {40});
  trac.fuel = 1000;
  TractionKeyPressed(40);  // at 1000 ms
  trac.stm_boilerWater = 10000;
  Frame(1999, 0.0f);  // 24 units boiled, no feed yet
  EXPECT_EQ(trac.fuel, 1000);
  EXPECT_EQ(trac.stm_boilerWater, 9976);
  Frame(2000, 0.0f);  // one more unit boiled, then the feed
  EXPECT_EQ(trac.fuel, 900);
  EXPECT_EQ(gPanel[12], 900);
  EXPECT_EQ(trac.stm_boilerWater, 10075);
  EXPECT_EQ(trac.stm_boilerPressure, 20000);  // +25 boiled, -100 div 4 fed
}

TEST_F(Steam, injector_stops_at_the_top_level_and_with_an_empty_tender) {
  SetValues(OPT_boilerwatertosteamrate, {0});
  trac.stm_injector = true;
  trac.fuel = 1000;
  trac.stm_boilerWater = 16000;
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.fuel, 1000);
  trac.stm_boilerWater = 15000;
  trac.fuel = 0;
  Frame(3000, 0.0f);
  EXPECT_EQ(trac.stm_boilerWater, 15000);
}

TEST_F(Steam, automatic_injector_keeps_the_water_between_an_eighth_and_a_quarter) {
  SetValues(OPT_injectorindicator, {41});
  trac.automatic = true;
  trac.stm_injector = true;
  trac.stm_boilerWater = 4000;
  Frame(1000, 0.0f);
  EXPECT_TRUE(trac.stm_injector);
  trac.stm_boilerWater = 4001;
  Frame(1010, 0.0f);
  EXPECT_FALSE(trac.stm_injector);
  EXPECT_EQ(gPanel[41], 0);
  EXPECT_EQ(trac.injectorTimer, 1010);
  trac.stm_boilerWater = 2000;
  Frame(1020, 0.0f);
  EXPECT_FALSE(trac.stm_injector);
  trac.stm_boilerWater = 1999;
  Frame(1030, 0.0f);
  EXPECT_TRUE(trac.stm_injector);
  EXPECT_EQ(gPanel[41], 1);
  EXPECT_EQ(trac.injectorTimer, 1030);
}

// ---- Steam use ----

TEST_F(Steam, steam_use_grows_with_regulator_cutoff_and_speed) {
  Drive(1, 5);
  trac.cutoff = 75;
  Frame(1000, 25.0f);  // takes forward
  Frame(2000, 25.0f);  // 25 boiled; 32 x 1 x (1 + 25 / 25) = 64 used
  EXPECT_EQ(trac.stm_boilerPressure, 20000 + 25 - 64);
  SetPowerHandle(2);
  trac.cutoff = 39;
  Frame(3000, 0.0f);  // trunc(32 x 2 / 5) = 12; 12 x 0.52 x 1 = 6.24
  EXPECT_EQ(trac.stm_boilerPressure, 19961 + 25 - 6);
  trac.cutoff = 0;  // mid gear: no steam taken
  Frame(4000, 25.0f);
  EXPECT_EQ(trac.stm_boilerPressure, 19980 + 25);
}

TEST_F(Steam, without_a_forward_range_steam_is_used_as_in_full_gear) {
  SetValues(OPT_cutoffmax, {0});
  Start();
  Drive(-1, 5);
  trac.cutoff = -55;
  Frame(1000, 25.0f);  // takes reverse
  Frame(2000, 25.0f);  // 25 boiled; 32 x 1 x (1 + 25 / 25) = 64 used
  EXPECT_EQ(trac.stm_boilerPressure, 20000 + 25 - 64);
}

TEST_F(Steam, boiler_pressure_never_shows_below_0) {
  SetValues(OPT_injectorrate, {400});
  SetValues(OPT_boilerwatertosteamrate, {0});
  trac.stm_injector = true;
  trac.fuel = 1000;
  trac.stm_boilerPressure = 10;
  trac.stm_boilerWater = 100;
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.stm_boilerPressure, 0);
  EXPECT_EQ(gPanel[17], 0);
}

// ---- Tender ----

TEST_F(Steam, tender_fills_once_a_second_at_standstill_in_the_zone) {
  SetValues(OPT_fuelcapacity, {120});
  SetValues(OPT_fuelfillindicator, {14});
  trac.fuelFill = true;
  Frame(1999, 0.0f);
  EXPECT_EQ(trac.fuel, 1);
  EXPECT_EQ(gPanel[14], 1);
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.fuel, 51);
  EXPECT_EQ(gPanel[12], 51);
  EXPECT_EQ(trac.fuelTimer, 2000);
  Frame(3000, 0.0f);
  Frame(4000, 0.0f);
  EXPECT_EQ(trac.fuel, 120);
  Frame(5000, 3.0f);
  EXPECT_EQ(trac.fuel, 120);
  EXPECT_EQ(gPanel[14], 0);
}

// ---- Absurd options ----

TEST_F(Steam, absurd_options_and_speeds_stay_within_32_bits) {
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  const int32_t cases[][9] = {
      // cutoffmax, cutoffmin, ineffective, ratiobase, ratio, deviation, regulator, steam rate, injector
      {kMax, kMin, kMin, kMin, kMax, 1, kMax, -1, kMin},
      {0, 0, 0, 0, kMin, kMin, kMin, kMin, kMax},
      {kMin, kMax, kMax, kMax, 1, kMax, kMax, kMax, kMax},
      {75, -55, -1, 30, 10, -8, 32, 1, 100},
  };
  const float speeds[] = {0.0f, 1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
  const int32_t notches[] = {0, kMax, -3};
  int32_t t = 1000;
  for (const auto& c : cases) {
    for (int32_t n : notches) {
      SetValues(OPT_cutoffmax, {c[0]});
      SetValues(OPT_cutoffmin, {c[1]});
      SetValues(OPT_cutoffineffective, {c[2]});
      SetValues(OPT_cutoffratiobase, {c[3]});
      SetValues(OPT_cutoffratio, {c[4]});
      SetValues(OPT_cutoffdeviation, {c[5]});
      SetValues(OPT_regulatorpressureuse, {c[6]});
      SetValues(OPT_boilerwatertosteamrate, {c[7]});
      SetValues(OPT_injectorrate, {c[8]});
      SetValues(OPT_boilermaxpressure, {c[0]});
      SetValues(OPT_boilerminpressure, {c[1]});
      SetValues(OPT_boilermaxwaterlevel, {c[0]});
      SetValues(OPT_fuelstartamount, {kMax});
      SetValues(OPT_fuelfillspeed, {c[8]});
      gTrainspecs.PowerNotches = n;
      Start();
      trac.automatic = true;
      trac.stm_injector = true;
      trac.fuelFill = true;
      for (int round = 0; round < 3; round++) {
        for (float speed : speeds) {
          t += 1000;
          gDriver.Power = n;
          gDriver.Reverser = (round % 2 == 0) ? 1 : -1;
          Frame(t, speed);
          EXPECT_GE(trac.stm_boilerPressure, 0);
          EXPECT_GE(trac.stm_power, 0);
          EXPECT_GE(trac.stm_reverser, -1);
          EXPECT_LE(trac.stm_reverser, 1);
        }
      }
    }
  }
}

}  // namespace
