// Golden traces: the library's whole behaviour, as recorded once, must not change.
//
// Every example scenario (examples/*.scn) and a few long generated drives are played through the
// sixteen entry points, each in a fresh host installation (counter files included), with no
// configuration file, with examples/Velmora.cfg, and with every further cab system switched on by
// its own option. Then the further systems run: each alone with the configuration of its example
// cab (its example scenario and the drives), all of them together with and without the U-Bahn cab
// (every example and the drives), and each example cab with its own configuration. After every host call the time, the four handles and all 256 panel and 256
// sound elements go into a 64-bit FNV-1a hash; after the run, the counter files Z1..Z3. The hash
// is kept at every 100th frame, so a failure names the run and the 100 frames in which the
// behaviour first differs. The recorded hashes are in tests/e2e/golden_traces.txt.
//
// Regenerate the file (only when a change of behaviour is intended, and say so in the commit):
//   VELMORA_GOLDEN_UPDATE=1 build/native/tests/velmora_e2e_tests --gtest_filter='GoldenTraces.*'
// Write every run's frames as text, to diff two builds frame by frame (one file per run):
//   VELMORA_GOLDEN_DUMP=/some/folder build/native/tests/velmora_e2e_tests --gtest_filter='GoldenTraces.*'
// The Linux and the Windows build play the same traces: the library draws its random numbers
// from its own generator, the same on both, and computes its floats alike (SSE2 in both).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "harness/harness.h"

#ifndef VELMORA_LIBRARY_PATH
#error "VELMORA_LIBRARY_PATH must name the built library"
#endif
#ifndef VELMORA_SOURCE_DIR
#error "VELMORA_SOURCE_DIR must name the source folder"
#endif

namespace {

const int kCheckpointFrames = 100;  // frames between two kept hashes
const unsigned kHostSeed = 7;       // the host's own runtime generator; the library's starts at 1
const int kDriveFrames = 6000;      // frames of a generated drive
const uint64_t kFnvOffset = 14695981039346656037ULL;
const uint64_t kFnvPrime = 1099511628211ULL;

const std::string kSourceDir = VELMORA_SOURCE_DIR;
const std::string kGoldenFile = kSourceDir + "/tests/e2e/golden_traces.txt";

// Every further cab system switched on by its own option, its elements on elements of their own
// and its keys on the keys the drives press. None of them runs in the frame cycle of the default.
const char kFurtherSystemsConfig[] =
    "system=2\nawsindicator=100\nawswarningsound=100\nawsclearsound=101\nawsacknowledgekey=16,101\n"
    "tpwsindicator=102,500\ntpwsindicator2=103,500\ntpwsindicator3=104\ntpwswarningsound=102\n"
    "tpwsresetkey=17\ntpwsoverridekey=18\nstartuptest=2\n"
    "vigilance=1\nvigilancekey=19\nvigilancelamp=105\nvigilancealarm=103\n"
    "overspeedcontrol=1\nwarningspeed=60\noverspeed=70\nsafespeed=50\noverspeedindicator=106\noverspeedalarm=104\n"
    "powerindicator=107\nreminderindicator=108\nreminderkey=3\npowerpickuppoints=0,10\n"
    "wiperindex=109\nwiperindicator=110\nwipersound=105\ndropsound=106\ndropstartindex=120\nnumberofdrops=8\n"
    "wiperrate=1000\nwiperdelay=1000\n"
    "doorindicator=111\nklaxonindicator=112\ntravelmetermode=0\ntravelmeter001=113\ntravelmeter01=114\n"
    "travelmeter1=115\ntravelmeter10=116\n"
    "pzb90=1\npzb90key=1\npzb90bluelamp=117,300\npzb90redlamp=118\npzb90yellowlamp=119\npzb90sound=107\n"
    "traction=1\nfuelindicator=140\nfuelstartamount=500\nfuelcapacity=1000\nfuelconsumption=2\n"
    "boilerpressureindicator=141\nboilerwaterlevelindicator=142\ncutoffindicator=143\nammeter=144\n"
    "ammetervalues=0,100,200,300,400,500,600,700,800\ninjectorindicator=145\ninjectortogglekey=12\n";

// The three configurations every run is played with.
struct Configuration {
  const char* name;
  std::string text;  // empty: no configuration file at all
};

std::string ReadSource(const std::string& relative) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(kSourceDir + "/" + relative, &text)) << relative;
  return text;
}

std::vector<Configuration> Configurations() {
  return {{"default", ""}, {"sample", ReadSource("examples/Velmora.cfg")}, {"further", kFurtherSystemsConfig}};
}

// The run switches of the further systems, in the order of their table.
const char* const kFurtherRunSwitches[] = {"runpowergaps", "runwipers",        "runawstpws", "runvigilance", "runoverspeed",
                                           "runcabindicators", "runtraction", "runpzb90"};

// A configuration in which, of the further systems, only `keep` runs: every other switch the
// text turns on is turned off, and `keep` is turned on.
std::string RunningOnly(std::string text, const std::string& keep) {
  for (const char* runSwitch : kFurtherRunSwitches) {
    const std::string on = std::string("\n") + runSwitch + "=1";
    for (size_t at = text.find(on); at != std::string::npos; at = text.find(on, at + 1)) {
      if (runSwitch != keep) text[at + on.size() - 1] = '0';
    }
  }
  return text + "\n" + keep + "=1\n";
}

// Every further system running: with the U-Bahn cab beside them, or without it.
std::string RunningAll(bool ubahn) {
  std::string text = kFurtherSystemsConfig;
  for (const char* runSwitch : kFurtherRunSwitches) text += std::string(runSwitch) + "=1\n";
  return text + (ubahn ? "runubahn=1\n" : "runubahn=0\n");
}

// A further system running alone, with the configuration of the example cab that shows it, and
// the example scenario it plays besides the generated drives (none: only the drives).
struct RunningSystem {
  Configuration configuration;
  const char* example;
};

std::vector<RunningSystem> RunningSystems() {
  const std::string british = ReadSource("examples/british_cab.cfg");
  const std::string german = ReadSource("examples/german_cab.cfg");
  const std::string cabIndicators = std::string(kFurtherSystemsConfig) + "runubahn=0\n";
  return {
      {{"awstpws", RunningOnly(british, "runawstpws")}, "british_cab"},
      {{"vigilance", RunningOnly(british, "runvigilance")}, "british_cab"},
      {{"overspeed", RunningOnly(british, "runoverspeed")}, "british_cab"},
      {{"wipers", RunningOnly(british, "runwipers")}, "british_cab"},
      {{"pzb90", RunningOnly(german, "runpzb90")}, "german_cab"},
      {{"powergaps", RunningOnly(german, "runpowergaps")}, "german_cab"},
      {{"steam", RunningOnly(ReadSource("examples/steam_locomotive.cfg"), "runtraction")}, "steam_locomotive"},
      {{"diesel", RunningOnly(ReadSource("examples/diesel_locomotive.cfg"), "runtraction")}, "diesel_locomotive"},
      {{"cabindicators", RunningOnly(cabIndicators, "runcabindicators")}, "cab_indicators"},
  };
}

// The example cabs of the further systems, each played with its own configuration.
const char* const kFurtherExamples[] = {"british_cab", "german_cab", "steam_locomotive", "diesel_locomotive",
                                        "cab_indicators"};

// What a run produced: the kept hashes and, for the message, the times of the checkpoints.
struct RunTrace {
  int64_t frames = 0;
  uint64_t hash = kFnvOffset;        // everything so far
  uint64_t counters = kFnvOffset;    // the counter files at the end
  std::vector<uint64_t> checkpoints;  // hash after frame 100, 200, ...
  std::vector<int32_t> checkpointTimes;  // host time of those frames
  std::string dump;                   // frames as text, when asked for
  bool dumping = false;
};

void Mix(uint64_t* hash, uint32_t word) {
  *hash ^= word;
  *hash *= kFnvPrime;
}

// The host's view after a call: the call itself, the handles of a frame and both arrays.
void Record(RunTrace* trace, uint32_t call, const HostArrays& arrays) {
  Mix(&trace->hash, call);
  for (int i = 0; i < 256; i++) Mix(&trace->hash, static_cast<uint32_t>(arrays.panel[i]));
  for (int i = 0; i < 256; i++) Mix(&trace->hash, static_cast<uint32_t>(arrays.sound[i]));
}

void RecordFrame(RunTrace* trace, int32_t time, const ATS_HANDLES& handles, const HostArrays& arrays) {
  Mix(&trace->hash, static_cast<uint32_t>(time));
  Mix(&trace->hash, static_cast<uint32_t>(handles.Brake));
  Mix(&trace->hash, static_cast<uint32_t>(handles.Power));
  Mix(&trace->hash, static_cast<uint32_t>(handles.Reverser));
  Mix(&trace->hash, static_cast<uint32_t>(handles.ConstantSpeed));
  Record(trace, 0xF7A3E, arrays);
  trace->frames++;
  if (trace->frames % kCheckpointFrames == 0) {
    trace->checkpoints.push_back(trace->hash);
    trace->checkpointTimes.push_back(time);
  }
  if (!trace->dumping) return;
  std::ostringstream line;
  line << trace->frames << " t=" << time << " handles " << handles.Brake << ' ' << handles.Power << ' '
       << handles.Reverser << ' ' << handles.ConstantSpeed << " panel";
  for (int value : arrays.panel) line << ' ' << value;
  line << " sound";
  for (int value : arrays.sound) line << ' ' << value;
  trace->dump += line.str() + "\n";
}

void RecordCounters(RunTrace* trace, const PlayFolder& folder) {
  for (int n = 1; n <= 3; n++) {
    std::string bytes;
    bool there = ReadWholeFile(CounterFilePath(folder, n), &bytes);
    Mix(&trace->counters, there ? 1u : 0u);
    for (unsigned char byte : bytes) Mix(&trace->counters, byte);
    if (trace->dumping) trace->dump += "Z" + std::to_string(n) + ".dat " + (there ? "[" + bytes + "]" : "missing") + "\n";
  }
  Mix(&trace->hash, static_cast<uint32_t>(trace->counters));
  Mix(&trace->hash, static_cast<uint32_t>(trace->counters >> 32));
}

// A fresh host installation with the library loaded; gone again at the end of the scope.
class Installation {
 public:
  explicit Installation(const Configuration& configuration) {
    std::string error;
    ready_ = CreatePlayFolder(&folder, &error) && InstallLibrary(&folder, VELMORA_LIBRARY_PATH, "Velmora", &error) &&
             EnterPlayFolder(&folder, &error) &&
             (configuration.text.empty() || WriteWholeFile(folder.configPath, configuration.text)) &&
             Load(&error);
    EXPECT_TRUE(ready_) << error;
  }
  ~Installation() {
    UnloadVelmoraLibrary(&library);
    RemovePlayFolder(&folder);
  }
  bool Load(std::string* error) {
    // The library draws its random numbers from its own generator, which starts afresh at every
    // load; the host's runtime generator, seeded here with another value, must not matter.
    std::srand(kHostSeed);
    return LoadVelmoraLibrary(folder.libraryPath, &library, error);
  }
  bool ready() const { return ready_; }

  PlayFolder folder;
  VelmoraLibrary library;

 private:
  bool ready_ = false;
};

// ---- Example scenarios ----

struct ScenarioSink {
  RunTrace* trace;
  const HostArrays* arrays;
};

void OnScenarioFrame(const TraceRow& row, void* context) {
  ScenarioSink* sink = static_cast<ScenarioSink*>(context);
  RecordFrame(sink->trace, row.time, row.handles, *sink->arrays);
}

void PlayExample(const std::string& path, const Configuration& configuration, RunTrace* trace) {
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(ReadScenarioFile(path, &scenario, &error)) << error;
  Installation installation(configuration);
  ASSERT_TRUE(installation.ready());
  PlaySetup setup;
  setup.configPath = installation.folder.configPath;
  setup.baseConfig = configuration.text;
  HostArrays arrays;
  ScenarioSink sink = {trace, &arrays};
  ASSERT_TRUE(PlayScenario(installation.library, scenario, setup, &arrays, OnScenarioFrame, &sink, &error)) << error;
  RecordCounters(trace, installation.folder);
}

// ---- Generated drives ----

// splitmix64: the drive's own random numbers, apart from the C runtime's that the library uses.
struct DriveRandom {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int perMille) { return Below(1000) < perMille; }
};

// Every beacon type the cab knows, and a few it does not.
const int kBeaconTypes[] = {-1, 0, 7, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32,
                            44000, 44001, 44002, 44003, 44004, 44005, 49000, 49001, 49002};
const int kOptionalValues[] = {-1, 0, 1, 2, 3, 4, 5, 9, 10, 20, 50, 100, 255, 256, 1000, 3000, 10000, 2147483647};

const int kSifaKey = 20;      // the sample cab's Sifa key
const int kDriveButton = 21;  // the sample cab's drive button

// The host side of a generated drive: time, motion, arrays and the keys held.
struct Drive {
  VelmoraLibrary* library;
  RunTrace* trace;
  HostArrays arrays;
  DriveRandom random;
  ATS_VEHICLESPEC spec;
  int32_t time = 0;
  float speed = 0.0f;
  float target = 0.0f;  // the speed the drive heads for
  double location = 0.0;
  bool held[22] = {};
  bool calm = false;  // a calm spell: few calls besides the frames
  int spell = 0;      // frames left of the spell

  void After(uint32_t call) { Record(trace, call, arrays); }

  void Frame() {
    time += random.Between(5, 120);
    if (random.Chance(calm ? 3 : 15)) target = static_cast<float>(random.Between(-10, 120));
    float step = static_cast<float>(random.Between(0, 20)) / 10.0f;
    speed += speed < target ? step : -step;
    if (random.Chance(3)) speed = 0.0f;
    location += speed * 50.0 / 3600.0;
    ATS_VEHICLESTATE state = {};
    state.Location = location;
    state.Speed = speed;
    state.Time = time;
    ATS_HANDLES handles = library->Elapse(state, arrays.panel, arrays.sound);
    RecordFrame(trace, time, handles, arrays);
  }

  void Key(int key) {
    if (key < 0 || key > 21 || !held[key]) {
      library->KeyDown(key);
      if (key >= 0 && key <= 21) held[key] = true;
      After(0x100000u + static_cast<uint32_t>(key));
    } else {
      library->KeyUp(key);
      held[key] = false;
      After(0x200000u + static_cast<uint32_t>(key));
    }
  }

  void Beacon() {
    ATS_BEACONDATA beacon;
    beacon.Type = kBeaconTypes[random.Below(sizeof kBeaconTypes / sizeof kBeaconTypes[0])];
    beacon.Signal = random.Between(-1, 6);
    beacon.Distance = static_cast<float>(random.Between(-50, 600));
    beacon.Optional = random.Chance(700) ? kOptionalValues[random.Below(sizeof kOptionalValues / sizeof kOptionalValues[0])]
                                          : random.Between(-5, 400);
    library->SetBeaconData(beacon);
    After(0x300000u ^ static_cast<uint32_t>(beacon.Type) ^ (static_cast<uint32_t>(beacon.Optional) << 8));
  }

  void Start(int brakeMode) {
    library->SetVehicleSpec(spec);
    library->Initialize(brakeMode);
    After(0x400000u + static_cast<uint32_t>(brakeMode));
    for (bool& key : held) key = false;
    SetOff();
  }

  void Press(int key) {
    if (key >= 0 && key <= 21 && held[key]) Key(key);  // let go first
    Key(key);
    Key(key);
  }

  // The driver sets off as the sample cab is meant to be driven: Sifa key held, master controller
  // to forward, brake controller to the driving position, drive button held.
  void SetOff() {
    speed = target = 0.0f;
    Frame();
    Press(0);   // trip stop reset
    Press(12);  // spring brake released
    if (!held[kSifaKey]) Key(kSifaKey);
    Press(7);
    Press(5);
    Press(5);
    for (int i = 0; i < 8; i++) Press(14);
    Press(15);
    if (!held[kDriveButton]) Key(kDriveButton);
  }

  // One host call or none, then a frame. Busy spells of random calls alternate with calm ones in
  // which the driver sets off and the train runs.
  void Step() {
    if (--spell <= 0) {
      calm = !calm;
      spell = random.Between(200, 700);
      if (calm) SetOff();
    }
    const int roll = random.Below(calm ? 10000 : 1000);
    if (roll < 90) {
      int key = random.Chance(980) ? random.Between(0, 21) : random.Between(-3, 300);
      // The Sifa key and the drive button are mostly held, so the train is driven for long spells.
      if ((key == kSifaKey || key == kDriveButton) && held[key] && random.Chance(800)) key = 5;
      Key(key);
    } else if (roll < 110) {
      int notch = random.Between(-1, spec.PowerNotches + 1);
      library->SetPower(notch);
      After(0x500000u + static_cast<uint32_t>(notch));
    } else if (roll < 130) {
      int notch = random.Between(-1, spec.BrakeNotches + 2);
      library->SetBrake(notch);
      After(0x600000u + static_cast<uint32_t>(notch));
    } else if (roll < 145) {
      int position = random.Chance(950) ? random.Between(-1, 1) : random.Between(-5, 5);
      library->SetReverser(position);
      After(0x700000u + static_cast<uint32_t>(position));
    } else if (roll < 185) {
      Beacon();
    } else if (roll < 195) {
      library->DoorOpen();
      After(0x800000u);
    } else if (roll < 205) {
      library->DoorClose();
      After(0x900000u);
    } else if (roll < 215) {
      int signal = random.Between(0, 6);
      library->SetSignal(signal);
      After(0xA00000u + static_cast<uint32_t>(signal));
    } else if (roll < 225) {
      int horn = random.Between(0, 3);
      library->HornBlow(horn);
      After(0xB00000u + static_cast<uint32_t>(horn));
    } else if (roll == 225) {
      Start(random.Between(0, 2));  // the host restarts the run
    }
    Frame();
  }
};

// A long drive of random host calls. Half-way the host loads the train anew, so the counter files
// written in the first half are read back.
void PlayDrive(uint64_t seed, const Configuration& configuration, RunTrace* trace) {
  Installation installation(configuration);
  ASSERT_TRUE(installation.ready());
  if (seed % 2 == 0) {  // a train that has run before, one counter file spoilt
    ASSERT_TRUE(WriteWholeFile(CounterFilePath(installation.folder, 1), "17"));
    ASSERT_TRUE(WriteWholeFile(CounterFilePath(installation.folder, 2), "x3"));
    ASSERT_TRUE(WriteWholeFile(CounterFilePath(installation.folder, 3), "123456"));
  }
  Drive drive;
  drive.library = &installation.library;
  drive.trace = trace;
  drive.random.state = seed;
  drive.spec = seed % 3 == 0 ? ATS_VEHICLESPEC{7, 5, 1, 5, 3} : ATS_VEHICLESPEC{8, 8, 1, 6, 4};
  for (int i = 0; i < 256; i++) {
    drive.arrays.panel[i] = 0;
    drive.arrays.sound[i] = SOUND_STOP;
  }
  for (int half = 0; half < 2; half++) {
    if (half == 1) {
      installation.library.Dispose();
      UnloadVelmoraLibrary(&installation.library);
      std::string error;
      ASSERT_TRUE(installation.Load(&error)) << error;
    }
    installation.library.Load();
    drive.Start(0);
    for (int i = 0; i < kDriveFrames / 2; i++) drive.Step();
  }
  installation.library.Dispose();
  RecordCounters(trace, installation.folder);
}

// ---- The golden file ----

std::string Hex(uint64_t value) {
  char text[17];
  snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// One line per run: name, frames, hash, counters hash, then the checkpoint hashes.
std::string GoldenLine(const std::string& name, const RunTrace& trace) {
  std::string line = name + " " + std::to_string(trace.frames) + " " + Hex(trace.hash) + " " + Hex(trace.counters);
  for (uint64_t checkpoint : trace.checkpoints) line += " " + Hex(checkpoint);
  return line;
}

std::map<std::string, std::vector<std::string>> ReadGolden() {
  std::map<std::string, std::vector<std::string>> golden;
  std::ifstream in(kGoldenFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    if (fields.size() >= 4) golden[fields[0]] = fields;
  }
  return golden;
}

// Why the run differs from its recorded line; empty when it does not.
std::string Difference(const std::vector<std::string>& recorded, const RunTrace& trace) {
  if (recorded[1] != std::to_string(trace.frames)) {
    return "played " + std::to_string(trace.frames) + " frames, recorded " + recorded[1];
  }
  for (size_t i = 0; i < trace.checkpoints.size(); i++) {
    if (4 + i >= recorded.size() || recorded[4 + i] != Hex(trace.checkpoints[i])) {
      int64_t first = static_cast<int64_t>(i) * kCheckpointFrames + 1;
      std::string since = i == 0 ? "the start" : "t=" + std::to_string(trace.checkpointTimes[i - 1]) + " ms";
      return "first differs in frames " + std::to_string(first) + ".." + std::to_string(first + kCheckpointFrames - 1) +
             " (from " + since + " to t=" + std::to_string(trace.checkpointTimes[i]) + " ms)";
    }
  }
  if (recorded[3] != Hex(trace.counters)) return "the counter files differ at the end of the run";
  if (recorded[2] != Hex(trace.hash)) {
    return "first differs after frame " + std::to_string(trace.checkpoints.size() * kCheckpointFrames) +
           " (in the last frames or the calls after them)";
  }
  return std::string();
}

TEST(GoldenTraces, every_example_and_generated_drive_plays_as_recorded) {
  const char* update = std::getenv("VELMORA_GOLDEN_UPDATE");
  const char* dumpFolder = std::getenv("VELMORA_GOLDEN_DUMP");
  const bool updating = update != nullptr && update[0] != '\0' && std::string(update) != "0";

  std::vector<std::pair<std::string, RunTrace>> runs;
  std::vector<std::string> examples;
  for (const char* name : {"departure", "sample_cab", "service_stop", "sifa_braking", "spring_brake", "station_stop",
                           "trip_stop"}) {
    examples.push_back(name);
  }
  for (const Configuration& configuration : Configurations()) {
    for (const std::string& example : examples) {
      runs.emplace_back(example + "/" + configuration.name, RunTrace());
      RunTrace& trace = runs.back().second;
      trace.dumping = dumpFolder != nullptr;
      PlayExample(kSourceDir + "/examples/" + example + ".scn", configuration, &trace);
    }
    for (uint64_t seed = 1; seed <= 3; seed++) {
      runs.emplace_back("drive" + std::to_string(seed) + "/" + configuration.name, RunTrace());
      RunTrace& trace = runs.back().second;
      trace.dumping = dumpFolder != nullptr;
      PlayDrive(seed, configuration, &trace);
    }
  }
  // The further systems running: each alone, all of them with and without the U-Bahn cab, and
  // each example cab of theirs with its own configuration.
  auto play = [&](const std::string& example, const Configuration& configuration) {
    runs.emplace_back(example + "/" + configuration.name, RunTrace());
    RunTrace& trace = runs.back().second;
    trace.dumping = dumpFolder != nullptr;
    PlayExample(kSourceDir + "/examples/" + example + ".scn", configuration, &trace);
  };
  auto drive = [&](const Configuration& configuration) {
    for (uint64_t seed = 1; seed <= 3; seed++) {
      runs.emplace_back("drive" + std::to_string(seed) + "/" + configuration.name, RunTrace());
      RunTrace& trace = runs.back().second;
      trace.dumping = dumpFolder != nullptr;
      PlayDrive(seed, configuration, &trace);
    }
  };
  for (const RunningSystem& running : RunningSystems()) {
    if (running.example != nullptr) play(running.example, running.configuration);
    drive(running.configuration);
  }
  for (bool ubahn : {true, false}) {
    const Configuration all = {ubahn ? "all" : "all-but-ubahn", RunningAll(ubahn)};
    for (const std::string& example : examples) play(example, all);
    for (const char* example : kFurtherExamples) play(example, all);
    drive(all);
  }
  for (const char* example : kFurtherExamples) {
    play(example, {"own", ReadSource(std::string("examples/") + example + ".cfg")});
  }

  if (dumpFolder != nullptr) {
    for (const auto& run : runs) {
      std::string file = run.first;
      for (char& c : file) c = c == '/' ? '.' : c;
      WriteWholeFile(std::string(dumpFolder) + "/" + file + ".trace", run.second.dump);
    }
  }

  if (updating) {
    std::string text =
        "# Golden traces of the default behaviour, written by tests/e2e/golden_trace_test.cpp (see its\n"
        "# first lines). Per run: name, frames, hash of everything, hash of the counter files, then the\n"
        "# hash after every 100th frame.\n";
    for (const auto& run : runs) text += GoldenLine(run.first, run.second) + "\n";
    ASSERT_TRUE(WriteWholeFile(kGoldenFile, text)) << kGoldenFile;
    std::printf("wrote %zu runs to %s\n", runs.size(), kGoldenFile.c_str());
    return;
  }

  std::map<std::string, std::vector<std::string>> golden = ReadGolden();
  ASSERT_FALSE(golden.empty()) << kGoldenFile << " holds no runs";
  EXPECT_EQ(golden.size(), runs.size()) << kGoldenFile << " records other runs than the test plays";
  for (const auto& run : runs) {
    auto recorded = golden.find(run.first);
    if (recorded == golden.end()) {
      ADD_FAILURE() << run.first << ": not recorded in " << kGoldenFile;
      continue;
    }
    std::string difference = Difference(recorded->second, run.second);
    EXPECT_TRUE(difference.empty()) << run.first << ": " << difference;
  }
}

}  // namespace
