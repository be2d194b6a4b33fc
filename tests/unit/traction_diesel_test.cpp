// The diesel frame step: fuel use and filling, engine speed, gear power fades, heating by load,
// automatic gear changes and the gear loop sound.
#include <limits>

#include "traction_fixture.h"

namespace {

class Diesel : public TractionTest {
 protected:
  void SetUp() override {
    TractionTest::SetUp();
    SetValues(OPT_traction, {kTractionDiesel});
  }
};

// ---- Fuel ----

TEST_F(Diesel, fuel_is_burnt_each_second_at_the_rate_of_the_notch) {
  SetValues(OPT_fuelconsumption, {1, 2, 3});
  SetValues(OPT_fuelstartamount, {100});
  SetValues(OPT_fuelindicator, {12});
  Start();
  Drive(1, 5);
  Frame(1999, 0.0f);
  EXPECT_EQ(trac.fuel, 100);
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.fuel, 97);
  EXPECT_EQ(gPanel[12], 97);
  Frame(2500, 0.0f);
  EXPECT_EQ(trac.fuel, 97);
  SetReverserHandle(0);  // in neutral: the idle rate
  Frame(3000, 0.0f);
  EXPECT_EQ(trac.fuel, 96);
  SetReverserHandle(1);
  SetBrakeHandle(3);  // braking: idle as well
  Frame(4000, 0.0f);
  EXPECT_EQ(trac.fuel, 95);
}

TEST_F(Diesel, no_fuel_is_burnt_when_the_first_rate_is_not_above_0) {
  SetValues(OPT_fuelconsumption, {0, 5});
  SetValues(OPT_fuelstartamount, {100});
  Start();
  Drive(1, 1);
  Frame(2000, 0.0f);
  Frame(3000, 0.0f);
  EXPECT_EQ(trac.fuel, 100);
}

TEST_F(Diesel, empty_tank_stops_the_engine_and_filling_restarts_it) {
  SetValues(OPT_fuelconsumption, {1, 2, 3});
  SetValues(OPT_fuelstartamount, {5});
  SetValues(OPT_fuelcapacity, {120});
  SetValues(OPT_fuelindicator, {12});
  SetValues(OPT_fuelfillindicator, {14});
  Start();
  Drive(1, 3);
  Frame(2000, 20.0f);
  EXPECT_EQ(trac.fuel, 2);
  EXPECT_EQ(gHandles.Power, 3);
  Frame(3000, 20.0f);
  EXPECT_EQ(trac.fuel, 0);
  EXPECT_EQ(gHandles.Power, 0);
  Frame(4000, 20.0f);  // an empty tank burns nothing more and stays at 0
  EXPECT_EQ(trac.fuel, 0);
  EXPECT_EQ(gHandles.Power, 0);

  // Into the zone, then stop.
  TractionSetData({22, 0, 0.0f, 1});
  Frame(4500, 0.0f);
  EXPECT_EQ(gPanel[14], 1);
  EXPECT_EQ(trac.fuel, 0);
  Frame(5000, 0.0f);  // first filling tick lifts the limit
  EXPECT_EQ(trac.fuel, 50);
  EXPECT_EQ(gPanel[12], 50);
  EXPECT_EQ(gHandles.Power, 3);
  Frame(6000, 0.0f);  // the engine burns 3 again while filling 50
  EXPECT_EQ(trac.fuel, 97);
  Frame(7000, 0.0f);
  EXPECT_EQ(trac.fuel, 120);  // capped at the capacity
  Frame(7100, 0.5f);     // moving: no filling
  EXPECT_EQ(gPanel[14], 0);
}

TEST_F(Diesel, a_tank_empty_from_the_start_and_filled_still_stops_the_engine_when_it_runs_dry) {
  SetValues(OPT_fuelconsumption, {1, 2, 3});
  SetValues(OPT_fuelstartamount, {0});
  SetValues(OPT_fuelcapacity, {4});
  SetValues(OPT_fuelfillspeed, {50});
  Start();
  Drive(1, 3);
  trac.fuelFill = true;
  Frame(1000, 0.0f);  // the one-second tick starts
  Frame(2000, 0.0f);  // filled to 4; an empty tank burns nothing
  EXPECT_EQ(trac.fuel, 4);
  trac.fuelFill = false;
  Frame(3000, 20.0f);
  EXPECT_EQ(gHandles.Power, 3);
  Frame(4000, 20.0f);  // 4 - 3 - 3: dry
  EXPECT_EQ(trac.fuel, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(Diesel, low_fuel_lamp_lights_at_its_percentage) {
  SetValues(OPT_fuelconsumption, {1});
  SetValues(OPT_fuelstartamount, {211});
  SetValues(OPT_fuelcapacity, {1000});
  SetValues(OPT_fuelindicator, {12, 20});
  Start();
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.fuel, 210);
  EXPECT_EQ(gPanel[12], 0);
  Frame(3000, 0.0f);
  EXPECT_EQ(trac.fuel, 209);
  EXPECT_EQ(gPanel[12], 1);
  // Filling shows the amount, lamp or not.
  trac.fuelFill = true;
  Frame(4000, 0.0f);
  EXPECT_EQ(trac.fuel, 258);
  EXPECT_EQ(gPanel[12], 258);
}

TEST_F(Diesel, low_fuel_lamp_with_no_capacity_is_left_alone) {
  SetValues(OPT_fuelconsumption, {1});
  SetValues(OPT_fuelstartamount, {10});
  SetValues(OPT_fuelcapacity, {0});
  SetValues(OPT_fuelindicator, {12, 20});
  Start();
  gPanel[12] = 77;
  Frame(2000, 0.0f);
  EXPECT_EQ(trac.fuel, 9);
  EXPECT_EQ(gPanel[12], 77);
}

// ---- Engine speed and gear power ----

class DieselGearbox : public Diesel {
 protected:
  void SetUp() override {
    Diesel::SetUp();
    SetValues(OPT_gearratios, {40, 20, 10});
    SetValues(OPT_gearfadeinrange, {300});
    SetValues(OPT_gearfadeoutrange, {200});
    SetValues(OPT_tachometer, {15});
    Start();
  }
};

TEST_F(DieselGearbox, tachometer_shows_engine_speed_from_the_gear_ratio) {
  ChangeGear(trac, 2);
  Frame(1050, 30.0f);
  EXPECT_EQ(gPanel[15], 600);
  Frame(1100, -45.0f);
  EXPECT_EQ(gPanel[15], 900);
  Frame(1150, 60.0f);
  EXPECT_EQ(gPanel[15], 1000);  // shown as full scale
  Frame(1200, std::numeric_limits<float>::infinity());
  EXPECT_EQ(gPanel[15], 1000);
  Frame(1250, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(gPanel[15], 0);
  ChangeGear(trac, 0);
  Frame(1300, 30.0f);
  EXPECT_EQ(gPanel[15], 0);
  ChangeGear(trac, 2);
  trac.fuel = 0;  // a stopped engine reads 0
  Frame(1350, 30.0f);
  EXPECT_EQ(gPanel[15], 0);
}

TEST_F(DieselGearbox, full_power_inside_the_working_range) {
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 30.0f);  // r = 600
  EXPECT_EQ(trac.gear_maxPower, 5);
  EXPECT_EQ(gHandles.Power, 5);
}

TEST_F(DieselGearbox, power_fades_out_at_the_top_of_the_range) {
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 45.0f);  // r = 900: trunc(5 - 5 * 100 / 200) = 2
  EXPECT_EQ(trac.gear_maxPower, 2);
  EXPECT_EQ(gHandles.Power, 2);
  Frame(1100, 50.0f);  // r = 1000: nothing left
  EXPECT_EQ(trac.gear_maxPower, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(DieselGearbox, power_fades_in_at_the_bottom_of_the_range) {
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 7.5f);  // r = 150: trunc(5 * 150 / 300) = 2
  EXPECT_EQ(trac.gear_maxPower, 2);
  EXPECT_EQ(gHandles.Power, 2);
  Frame(1100, 0.0f);
  EXPECT_EQ(trac.gear_maxPower, 0);
}

TEST_F(DieselGearbox, gearbox_takes_its_missing_notches_off_the_drivers_notch) {
  Drive(1, 4);
  ChangeGear(trac, 2);
  Frame(1050, 45.0f);  // g = 2: limit 4 - 5 + 2 = 1
  EXPECT_EQ(trac.gear_maxPower, 1);
  EXPECT_EQ(gHandles.Power, 1);
  SetPowerHandle(2);  // 2 - 5 + 2 below 0: limit 0
  Frame(1100, 45.0f);
  EXPECT_EQ(trac.gear_maxPower, 0);
}

TEST_F(DieselGearbox, neutral_gives_no_power) {
  Drive(1, 5);
  Frame(1050, 30.0f);
  EXPECT_EQ(trac.gear_maxPower, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(DieselGearbox, negative_ratio_below_an_empty_fade_in_gives_no_power) {
  SetValues(OPT_gearratios, {40, -20});
  SetValues(OPT_gearfadeinrange, {0});
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 30.0f);
  EXPECT_EQ(trac.gear_maxPower, 0);
  EXPECT_EQ(gHandles.Power, 0);
}

TEST_F(DieselGearbox, gear_loop_restarts_after_its_delay) {
  SetValues(OPT_gearloopsound, {34, 300});
  ChangeGear(trac, 1);
  EXPECT_EQ(gSound[34], SOUND_STOP);
  Frame(1299, 10.0f);
  EXPECT_EQ(gSound[34], SOUND_STOP);
  Frame(1300, 10.0f);
  EXPECT_EQ(gSound[34], SOUND_LOOP);
  EXPECT_EQ(trac.gearLoop, kGearLoopNotWaiting);
}

TEST_F(DieselGearbox, gear_loop_without_a_delay_plays_through_gear_changes) {
  SetValues(OPT_gearloopsound, {34});
  gSound[34] = SOUND_LOOP;
  ChangeGear(trac, 1);
  Frame(2000, 10.0f);
  EXPECT_EQ(gSound[34], SOUND_LOOP);
  EXPECT_EQ(trac.gearLoop, kGearLoopNotWaiting);
}

// ---- Automatic gears ----

TEST_F(DieselGearbox, automatic_engages_first_gear_when_driven) {
  trac.automatic = true;
  Frame(1050, 0.0f);
  EXPECT_EQ(trac.gear, 0);  // not driven yet
  Drive(1, 3);
  Frame(1100, 0.0f);
  EXPECT_EQ(trac.gear, 1);
}

TEST_F(DieselGearbox, automatic_shifts_up_near_the_top_and_down_near_the_bottom) {
  trac.automatic = true;
  trac.autoTimer = 0;
  Drive(1, 5);
  Frame(1000, 0.0f);  // engages 1; arms the 2-second check at 1000
  EXPECT_EQ(trac.gear, 1);
  Frame(2999, 22.5f);  // r = 900 but the check is not due
  EXPECT_EQ(trac.gear, 1);
  Frame(3000, 22.5f);
  EXPECT_EQ(trac.gear, 2);
  EXPECT_EQ(trac.autoTimer, 3000);
  Frame(5000, 45.0f);  // r = 900 in gear 2
  EXPECT_EQ(trac.gear, 3);
  Frame(7000, 90.0f);  // r = 900 in top gear: stays
  EXPECT_EQ(trac.gear, 3);
  Frame(9000, 14.0f);  // r = 140 < 200
  EXPECT_EQ(trac.gear, 2);
  Frame(11000, 9.0f);  // r = 180 < 200
  EXPECT_EQ(trac.gear, 1);
  Frame(13000, 1.0f);  // never below first while driven
  EXPECT_EQ(trac.gear, 1);
}

TEST_F(DieselGearbox, automatic_shift_takes_effect_on_power_in_the_next_frame) {
  trac.automatic = true;
  trac.autoTimer = 1000;
  Drive(1, 5);
  ChangeGear(trac, 1);
  Frame(3000, 22.5f);  // r = 900 in gear 1: fade-out power 2, then up to gear 2
  EXPECT_EQ(trac.gear, 2);
  EXPECT_EQ(trac.gear_maxPower, 2);
  Frame(3050, 22.5f);  // r = 450 in gear 2
  EXPECT_EQ(trac.gear_maxPower, 5);
}

TEST_F(DieselGearbox, automatic_uses_the_gears_own_shift_points) {
  SetValues(OPT_gearfadeinrange, {300, 600});
  SetValues(OPT_gearfadeoutrange, {200, 600});
  trac.automatic = true;
  trac.autoTimer = 1000;
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(3000, 35.5f);  // r = 710 > (2000 - 600) div 2 = 700
  EXPECT_EQ(trac.gear, 3);
  ChangeGear(trac, 2);
  Frame(5000, 14.5f);  // r = 290 < 600 div 2 = 300
  EXPECT_EQ(trac.gear, 1);
}

TEST_F(DieselGearbox, automatic_returns_to_neutral_when_not_driven) {
  trac.automatic = true;
  trac.autoTimer = 1000;
  Drive(1, 5);
  ChangeGear(trac, 2);
  SetBrakeHandle(1);
  Frame(3000, 30.0f);
  EXPECT_EQ(trac.gear, 0);
}

TEST_F(DieselGearbox, automatic_drops_to_neutral_with_the_reverser_and_waits_for_power) {
  trac.automatic = true;
  trac.autoTimer = 1000;
  Drive(1, 5);
  ChangeGear(trac, 2);
  SetReverserHandle(0);
  Frame(3000, 30.0f);
  EXPECT_EQ(trac.gear, 0);
  Drive(1, 0);
  Frame(3050, 0.0f);
  EXPECT_EQ(trac.gear, 0);  // forward, but no power asked for
  SetPowerHandle(1);
  Frame(3100, 0.0f);
  EXPECT_EQ(trac.gear, 1);
}

// ---- Heating by load ----

TEST_F(DieselGearbox, heating_by_load_steps_with_notch_and_engine_speed) {
  SetValues(OPT_heatingpart, {2});
  SetValues(OPT_heatingrate, {-2, 1, 2, 3, 4, 5, 6, 7});
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 30.0f);  // the gear limit opens to notch 5
  Frame(2000, 30.0f);  // (5 x 600 div 5) div 100 = 6
  EXPECT_EQ(trac.hpTemperature, 6);
  SetPowerHandle(2);
  Frame(3000, 30.0f);  // (2 x 600 div 5) div 100 = 2
  EXPECT_EQ(trac.hpTemperature, 8);
  SetReverserHandle(0);  // not driven: step 0
  Frame(4000, 30.0f);
  EXPECT_EQ(trac.hpTemperature, 6);
}

TEST_F(DieselGearbox, heating_by_load_is_step_0_without_power_or_without_fuel) {
  SetValues(OPT_heatingpart, {2});
  SetValues(OPT_heatingrate, {-2, 1, 2, 3, 4, 5, 6, 7});
  Drive(1, 5);
  ChangeGear(trac, 2);
  Frame(1050, 30.0f);
  Frame(2000, 30.0f);
  ASSERT_EQ(trac.hpTemperature, 6);
  trac.fuel = 0;  // the tank ran dry
  Frame(3000, 30.0f);
  EXPECT_EQ(trac.hpTemperature, 4);
  trac.fuel = 100;
  SetPowerHandle(0);
  Frame(4000, 30.0f);
  EXPECT_EQ(trac.hpTemperature, 2);
}

TEST_F(DieselGearbox, heating_by_load_without_power_notches_stays_at_step_0) {
  SetValues(OPT_heatingpart, {2});
  SetValues(OPT_heatingrate, {1, 50});
  gTrainspecs.PowerNotches = 0;
  ChangeGear(trac, 2);
  gDriver.Power = 5;
  gHandles = {0, 3, 1, 0};
  Frame(2000, 30.0f);
  EXPECT_EQ(trac.hpTemperature, 1);
}

TEST_F(Diesel, no_gearbox_means_no_engine_speed_and_no_gear_limit) {
  SetValues(OPT_gearratios, {0, 20});
  SetValues(OPT_tachometer, {15});
  SetValues(OPT_heatingpart, {2});
  SetValues(OPT_heatingrate, {5});
  Start();
  Drive(1, 5);
  gPanel[15] = 77;
  Frame(2000, 30.0f);
  EXPECT_EQ(gPanel[15], 77);
  EXPECT_EQ(trac.hpTemperature, 0);
  EXPECT_EQ(gHandles.Power, 5);
}

// ---- Absurd options ----

TEST_F(Diesel, absurd_options_and_speeds_stay_within_32_bits) {
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  SetValues(OPT_fuelconsumption, {1, kMin});
  SetValues(OPT_fuelstartamount, {kMax});
  SetValues(OPT_fuelcapacity, {kMax});
  SetValues(OPT_fuelfillspeed, {kMax});
  SetValues(OPT_fuelindicator, {12, kMax});
  SetValues(OPT_gearratios, {kMax, kMin});
  SetValues(OPT_gearfadeinrange, {kMin, kMax});
  SetValues(OPT_gearfadeoutrange, {kMax, kMin});
  SetValues(OPT_heatingpart, {2});
  SetValues(OPT_heatingrate, {kMax});
  SetValues(OPT_gearloopsound, {34, kMin});
  gTrainspecs.PowerNotches = kMax;
  Start();
  trac.automatic = true;
  trac.fuelFill = true;
  gDriver.Power = kMax;
  const float speeds[] = {0.0f, 1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity()};
  int32_t t = 1000;
  for (int round = 0; round < 4; round++) {
    for (float speed : speeds) {
      t += 1000;
      gHandles = {0, 1, 1, 0};
      Frame(t, speed);
    }
  }
  EXPECT_GE(trac.gear, 0);
  EXPECT_LE(trac.gear, trac.gears);
  EXPECT_GE(trac.gear_maxPower, 0);
  EXPECT_GE(trac.hpTemperature, 0);
}

}  // namespace
