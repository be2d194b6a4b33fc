// Each further cab system on the built library, with its run switch on and off: one table per
// system of short drives through the entry points, and what the host sees at their end.
#include <string>
#include <tuple>
#include <vector>

#include "e2e_fixture.h"

namespace {

// One host call of a drive.
enum CallKind { RUN, KEY, BEACON, POWER, REVERSER, HORN, DOORS_OPEN };
struct Call {
  CallKind kind;
  int a = 0;          // RUN: ms to run; KEY: key; BEACON: type; POWER, REVERSER, HORN: the value
  float speed = 0.0f; // RUN: km/h
  int signal = 0;     // BEACON
  int optional = 0;   // BEACON
};

// What a drive is judged by.
enum Reading { PANEL, SOUND, BRAKE, POWER_NOTCH, REVERSER_POSITION };

struct SystemCase {
  const char* name;
  const char* config;  // the system's own lines, its run switch left out
  std::vector<Call> calls;
  Reading reading;
  int element;  // PANEL, SOUND
  int running;  // what the host sees with the system running
  int off;      // and with its switch at 0
};

// The U-Bahn cab stays out of the further systems' tables.
const char kWithoutUBahn[] = "runubahn=0\n";
const int kEmergency = 9;  // of the 8-notch test vehicle

struct SystemTable {
  const char* runSwitch;
  std::vector<SystemCase> cases;
};

class RunningSystem : public VelmoraHost,
                      public ::testing::WithParamInterface<std::tuple<const SystemTable*, int, bool>> {
 protected:
  void Play(const Call& call) {
    switch (call.kind) {
      case RUN: RunFor(call.a, call.speed); break;
      case KEY: Key(call.a); break;
      case BEACON: Beacon(call.a, call.signal, 0.0f, call.optional); break;
      case POWER: SetPower(call.a); break;
      case REVERSER: SetReverser(call.a); break;
      case HORN: HornBlow(call.a); break;
      case DOORS_OPEN: DoorOpen(); break;
    }
  }
  int Read(const SystemCase& c) const {
    switch (c.reading) {
      case PANEL: return Panel(c.element);
      case SOUND: return Sound(c.element);
      case BRAKE: return handles.Brake;
      case POWER_NOTCH: return handles.Power;
      case REVERSER_POSITION: return handles.Reverser;
    }
    return 0;
  }
};

TEST_P(RunningSystem, acts_while_its_switch_is_on_and_as_before_while_off) {
  const SystemTable& table = *std::get<0>(GetParam());
  const SystemCase& c = table.cases[std::get<1>(GetParam())];
  const bool runs = std::get<2>(GetParam());
  WriteConfig(std::string(c.config) + table.runSwitch + (runs ? "=1\n" : "=0\n"));
  Start();
  Frame(1000, 0.0f);
  for (const Call& call : c.calls) Play(call);
  EXPECT_EQ(Read(c), runs ? c.running : c.off);
}

std::string CaseName(const ::testing::TestParamInfo<RunningSystem::ParamType>& info) {
  const SystemTable& table = *std::get<0>(info.param);
  return std::string(table.runSwitch) + "_" + table.cases[std::get<1>(info.param)].name +
         (std::get<2>(info.param) ? "_running" : "_off");
}

#define SYSTEM_TABLE(suite, table)                                                                    \
  INSTANTIATE_TEST_SUITE_P(suite, RunningSystem,                                                      \
                           ::testing::Combine(::testing::Values(&table),                              \
                                              ::testing::Range(0, static_cast<int>(table.cases.size())), \
                                              ::testing::Bool()),                                     \
                           CaseName)

const std::string kGaps = std::string(kWithoutUBahn) + "powergapbehaviour=2\n";
const SystemTable kPowerGaps = {
    "runpowergaps",
    {
        {"gap_cuts_the_power", kGaps.c_str(),
         {{POWER, 5}, {RUN, 500, 36.0f}, {BEACON, 20, 0.0f, 0, 30}, {RUN, 500, 36.0f}}, POWER_NOTCH, 0, 0, 5},
    }};
SYSTEM_TABLE(PowerGaps, kPowerGaps);

const std::string kWipers =
    std::string(kWithoutUBahn) + "wiperindex=41\nwiperrate=1000\nwiperonkey=60\ndropstartindex=100\nnumberofdrops=4\n";
const SystemTable kWipersAndRain = {
    "runwipers",
    {
        {"switched_on_the_blade_sweeps", kWipers.c_str(), {{KEY, 60}, {KEY, 60}, {RUN, 400}}, PANEL, 41, 40, 0},
        {"rain_wets_the_glass", kWipers.c_str(), {{BEACON, 21, 0.0f, 0, 100}, {RUN, 3000}}, PANEL, 103, 1, 0},
    }};
SYSTEM_TABLE(Wipers, kWipersAndRain);

const std::string kAws = std::string(kWithoutUBahn) +
                         "system=2\nawswarningsound=31\nawsacknowledgekey=61\ntpwsresetkey=62\n";
const SystemTable kAwsTpws = {
    "runawstpws",
    {
        {"caution_magnet_sounds_the_horn", kAws.c_str(), {{RUN, 100, 80.0f}, {BEACON, 44001}}, SOUND, 31,
         SOUND_PLAY, SOUND_STOP},
        {"unacknowledged_caution_brakes", kAws.c_str(), {{RUN, 100, 80.0f}, {BEACON, 44001}, {RUN, 3500, 80.0f}},
         BRAKE, 0, kEmergency, 0},
        {"train_stop_sensor_at_danger_brakes", kAws.c_str(),
         {{RUN, 100, 30.0f}, {BEACON, 44003, 0.0f, 0}, {RUN, 100, 30.0f}},
         BRAKE, 0, kEmergency, 0},
    }};
SYSTEM_TABLE(AwsTpws, kAwsTpws);

const std::string kVigilanceLines = std::string(kWithoutUBahn) +
                                    "vigilance=1\nvigilancelamp=42\nvigilanceinterval=1000\nvigilancedelay1=500\n"
                                    "vigilancedelay2=500\nvigilancekey=63\n";
const SystemTable kVigilance = {
    "runvigilance",
    {
        {"ignored_device_brakes", kVigilanceLines.c_str(), {{RUN, 2500, 30.0f}}, BRAKE, 0, kEmergency, 0},
        {"key_is_a_sign_of_life", kVigilanceLines.c_str(), {{RUN, 900, 30.0f}, {KEY, 63}, {RUN, 600, 30.0f}},
         PANEL, 42, 0, 0},
    }};
SYSTEM_TABLE(Vigilance, kVigilance);

const std::string kOverspeedLines = std::string(kWithoutUBahn) +
                                    "overspeedcontrol=1\noverspeed=90\n";
const SystemTable kOverspeed = {
    "runoverspeed",
    {
        {"overspeed_backwards_brakes", kOverspeedLines.c_str(), {{RUN, 100, -95.0f}}, BRAKE, 0, 8, 0},
    }};
SYSTEM_TABLE(Overspeed, kOverspeed);

const std::string kIndicators = std::string(kWithoutUBahn) +
                                "klaxonindicator=45,500\ncustomindicators=64,46\ndoorindicator=47,48\n";
const SystemTable kCabIndicators = {
    "runcabindicators",
    {
        {"horn_lamp_goes_out_after_its_time", kIndicators.c_str(), {{HORN, 0}, {RUN, 1000}}, PANEL, 45, 0, 1},
        {"custom_key_toggles_its_element", kIndicators.c_str(), {{KEY, 64}}, PANEL, 46, 1, 0},
        {"doors_open_on_the_right_light_the_second_lamp", kIndicators.c_str(),
         {{BEACON, 23, 0.0f, 0, 1}, {RUN, 100}, {DOORS_OPEN}}, PANEL, 48, 1, 0},
        {"doors_open_on_the_left_light_the_first_lamp", kIndicators.c_str(),
         {{BEACON, 23, 0.0f, 0, 2}, {RUN, 100}, {DOORS_OPEN}}, PANEL, 47, 1, 0},
    }};
SYSTEM_TABLE(CabIndicators, kCabIndicators);

const std::string kDiesel =
    std::string(kWithoutUBahn) + "traction=2\ngearratios=10,20\ngearindicator=50\ngearupkey=65\n";
const std::string kSteam = std::string(kWithoutUBahn) + "traction=1\nautomatic=66\n";
const SystemTable kTraction = {
    "runtraction",
    {
        {"diesel_gear_up_key_engages_first_gear", kDiesel.c_str(), {{KEY, 65}, {RUN, 100}}, PANEL, 50, 1, 0},
        {"steam_reverser_follows_the_cutoff", kSteam.c_str(), {{REVERSER, 1}, {RUN, 100}, {KEY, 66}, {RUN, 100}},
         REVERSER_POSITION, 0, 1, 0},
    }};
SYSTEM_TABLE(Traction, kTraction);

const std::string kPzb = std::string(kWithoutUBahn) + "pzb90=1\npzb90key=67\n";
const SystemTable kPzb90 = {
    "runpzb90",
    {
        {"unacknowledged_1000_hz_brakes", kPzb.c_str(),
         {{KEY, 67}, {RUN, 100, 30.0f}, {BEACON, 49000, 0.0f, 2, 0}, {RUN, 3500, 30.0f}}, BRAKE, 0, kEmergency, 0},
        {"500_hz_magnet_above_its_limit_brakes", kPzb.c_str(),
         {{KEY, 67}, {RUN, 100, 40.0f}, {BEACON, 49001, 0.0f, 0, 30}, {RUN, 100, 40.0f}}, BRAKE, 0, kEmergency, 0},
    }};
SYSTEM_TABLE(Pzb90, kPzb90);

// The U-Bahn cab's own switch: its elements, counters and drive button.
const char kUBahnWired[] =
    "sifakey=20\nspeedselectorkey=21\nfahrschalterstellung=10\nbremsschalter1=11\nbremsleitungsdruck=13\n"
    "fuellleitungsdruck=14\nanzeige_init=15\nsifasound=31\nfahrtastersound=30\n";

class UBahnSwitchedOff : public VelmoraHost {};

TEST_F(UBahnSwitchedOff, leaves_every_host_element_as_the_host_set_it) {
  WriteConfig(std::string(kUBahnWired) + "runubahn=0\n");
  Start();
  Frame(1000, 0.0f);
  for (int key : {20, 21, 5, 5, 15, 14, 2, 4, 9, 10, 11, 12, 13, 0}) Key(key);
  for (int type : {23, 24, 25, 26, 27, 28, 29, 30, 31, 44002, 44003, 44004}) Beacon(type, 0, 0.0f, 1);
  HornBlow(0);
  RunFor(3000, 60.0f);
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(Panel(i), 0) << "panel element " << i;
    EXPECT_EQ(Sound(i), SOUND_STOP) << "sound element " << i;
  }
}

TEST_F(UBahnSwitchedOff, neither_reads_nor_writes_the_counters) {
  WriteCounter(3, "41");
  WriteConfig(std::string(kUBahnWired) + "runubahn=0\nkilometer_1=40\n");
  Start();
  Frame(1000, 0.0f);
  Beacon(44004, 0, 0.0f, 10);  // an emergency trip point passed too fast would count
  RunFor(60000, 80.0f, 500);   // over a kilometre
  Dispose();
  EXPECT_EQ(Panel(40), 0);
  EXPECT_EQ(ReadCounter(3), "41");
  EXPECT_FALSE(CounterExists(1));
}

TEST_F(UBahnSwitchedOff, driver_power_handle_takes_power_despite_a_drive_button) {
  struct Row {
    const char* config;
    int power;
  } rows[] = {{"runubahn=0\n", 5}, {"runubahn=2\n", 0}, {"runubahn=1\n", 0}, {"runubahn=0\nspeedselectorkey=-1\n", 5}};
  for (const Row& row : rows) {
    WriteConfig(std::string(kUBahnWired) + row.config);
    Start();
    SetReverser(1);
    SetPower(5);
    EXPECT_EQ(Frame(now + 100, 0.0f).Power, row.power) << row.config;
    FreePlugin();
  }
}

// Beside the U-Bahn cab, whose every key withdraws one emergency demand, a further system keeps
// its own demands: the cab's keys do not cancel its later brake.
class BesideTheUBahnCab : public VelmoraHost {};

TEST_F(BesideTheUBahnCab, keys_of_the_cab_leave_a_later_pzb_brake_at_the_emergency_notch) {
  struct Row {
    int optional;     // of the 49000 magnet: 0 the brake at once, 100 a window to acknowledge
    int32_t waitFor;  // ms after the magnet
  } rows[] = {{0, 100}, {100, 3500}};
  for (const Row& row : rows) {
    WriteConfig("runpzb90=1\npzb90=1\npzb90key=67\nsifakey=20\n");
    Start();
    Frame(1000, 0.0f);
    KeyDown(20);  // Sifa held; forward; the brake controller charges the pipe, then releases
    Key(5);
    Key(15);
    Key(15);
    RunFor(15000, 0.0f);
    Key(14);
    RunFor(500, 0.0f);
    ASSERT_EQ(handles.Brake, 0) << row.optional;
    Key(40);
    RunFor(1000, 20.0f);
    Beacon(49000, 0, 0.0f, row.optional);
    EXPECT_EQ(RunFor(row.waitFor, 20.0f).Brake, kEmergency) << row.optional;
    FreePlugin();
  }
}

// The neutral-reverser brake: demanded exactly while the driver's reverser is neutral.
class NeutralReverserBrake : public VelmoraHost {};

TEST_F(NeutralReverserBrake, holds_while_the_drivers_reverser_is_neutral) {
  struct Row {
    const char* mode;
    int notch;  // what it demands
  } rows[] = {{"1", 8}, {"2", kEmergency}};
  for (const Row& row : rows) {
    WriteConfig(std::string(kWithoutUBahn) + "neutralrvrbrake=" + row.mode + "\n");
    Start();
    EXPECT_EQ(Frame(1000, 0.0f).Brake, row.notch) << row.mode << ": at the start";
    SetReverser(1);
    EXPECT_EQ(Frame(1100, 0.0f).Brake, 0) << row.mode << ": forward";
    SetReverser(1);
    SetReverser(0);
    EXPECT_EQ(Frame(1200, 0.0f).Brake, row.notch) << row.mode << ": back to neutral";
    SetReverser(0);
    SetReverser(-1);
    EXPECT_EQ(Frame(1300, 0.0f).Brake, 0) << row.mode << ": backward, after neutral twice";
    FreePlugin();
  }
}

}  // namespace
