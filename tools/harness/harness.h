// The host harness: loads a built Velmora library, sets up the folders a host run needs and
// plays scenarios through the sixteen entry points, producing one trace row per frame.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin/atsplugin.h"

// ---------------------------------------------------------------------------------------------
// The library and its sixteen entry points.

#if defined(_WIN32)
const char kLibraryExtension[] = ".dll";
#else
const char kLibraryExtension[] = ".so";
#endif

// Entry points exactly as the host calls them: stdcall on Windows, records by value.
typedef void(ATS_CALL* LoadProc)();
typedef void(ATS_CALL* DisposeProc)();
typedef int(ATS_CALL* GetPluginVersionProc)();
typedef void(ATS_CALL* SetVehicleSpecProc)(ATS_VEHICLESPEC);
typedef void(ATS_CALL* InitializeProc)(int);
typedef ATS_HANDLES(ATS_CALL* ElapseProc)(ATS_VEHICLESTATE, int*, int*);
typedef void(ATS_CALL* SetPowerProc)(int);
typedef void(ATS_CALL* SetBrakeProc)(int);
typedef void(ATS_CALL* SetReverserProc)(int);
typedef void(ATS_CALL* KeyDownProc)(int);
typedef void(ATS_CALL* KeyUpProc)(int);
typedef void(ATS_CALL* HornBlowProc)(int);
typedef void(ATS_CALL* DoorOpenProc)();
typedef void(ATS_CALL* DoorCloseProc)();
typedef void(ATS_CALL* SetSignalProc)(int);
typedef void(ATS_CALL* SetBeaconDataProc)(ATS_BEACONDATA);

// A loaded library: its module handle and the resolved entry points.
struct VelmoraLibrary {
  void* module = nullptr;  // dlopen handle or HMODULE; null when nothing is loaded
  LoadProc Load = nullptr;
  DisposeProc Dispose = nullptr;
  GetPluginVersionProc GetPluginVersion = nullptr;
  SetVehicleSpecProc SetVehicleSpec = nullptr;
  InitializeProc Initialize = nullptr;
  ElapseProc Elapse = nullptr;
  SetPowerProc SetPower = nullptr;
  SetBrakeProc SetBrake = nullptr;
  SetReverserProc SetReverser = nullptr;
  KeyDownProc KeyDown = nullptr;
  KeyUpProc KeyUp = nullptr;
  HornBlowProc HornBlow = nullptr;
  DoorOpenProc DoorOpen = nullptr;
  DoorCloseProc DoorClose = nullptr;
  SetSignalProc SetSignal = nullptr;
  SetBeaconDataProc SetBeaconData = nullptr;
};

// Loads the library at path and resolves all sixteen entry points. On failure nothing stays
// loaded and error says in words what is wrong: a file of another system or architecture, a
// library the system cannot load (and why), or the first entry point that is missing. Messages
// name the library as shownAs (the user's own file when path is a copy of it), or else as path.
bool LoadVelmoraLibrary(const std::string& path, VelmoraLibrary* library, std::string* error,
                        const std::string& shownAs = std::string());
// Unloads the library (no Dispose call: that is the host's business); safe when nothing is loaded.
void UnloadVelmoraLibrary(VelmoraLibrary* library);

// What the file at path holds, in words ("a Windows 32-bit x86 DLL", "a Linux x86-64 library",
// "not a program library", ...), read from its first bytes; empty when it cannot be read.
std::string DescribeLibraryFile(const std::string& path);
// Empty when the file at path is a library this program can load; else why not, in words.
std::string LibraryMismatch(const std::string& path);

// ---------------------------------------------------------------------------------------------
// The play folder: what a host installation looks like to the plug-in.
//
//   ROOT/Plugin/<name>.so|.dll   the copy of the library, with <name>.cfg beside it
//   ROOT/Train/Morvan/           the train's folder with the counter files Z1.dat Z2.dat Z3.dat
//   ROOT/Host/Run/Cab/           the working directory, so "../../../Train/Morvan/" is the train's
//                                folder, as seen from the host's own folder

struct PlayFolder {
  std::string root;          // the fresh temporary folder
  std::string pluginDir;     // ROOT/Plugin
  std::string libraryPath;   // the installed copy of the library (absolute)
  std::string configPath;    // its configuration file: the copy's path with "cfg" for the extension
  std::string counterDir;    // ROOT/Train/Morvan
  std::string workDir;       // ROOT/Host/Run/Cab
  std::string previousDir;   // the working directory before EnterPlayFolder
};

// Makes a fresh temporary folder with the layout above (no library yet).
bool CreatePlayFolder(PlayFolder* folder, std::string* error);
// Copies the library at source into the plugin folder under fileName and points libraryPath and
// configPath at it.
bool InstallLibraryFile(PlayFolder* folder, const std::string& source, const std::string& fileName,
                        std::string* error);
// The same with <baseName> plus the platform's extension for the file name.
bool InstallLibrary(PlayFolder* folder, const std::string& source, const std::string& baseName,
                    std::string* error);
// The configuration file the plug-in at libraryPath reads: on Windows the last three characters
// become "cfg", elsewhere the extension after the file name's last "." (Velmora.so, libm.so.6
// read Velmora.cfg, libm.so.cfg).
std::string ConfigPathOf(const std::string& libraryPath);
// Makes the working directory the host's folder, remembering the previous one.
bool EnterPlayFolder(PlayFolder* folder, std::string* error);
// Returns to the working directory before EnterPlayFolder.
void LeavePlayFolder(PlayFolder* folder);
// Deletes the whole temporary folder (the library must be unloaded first on Windows).
void RemovePlayFolder(PlayFolder* folder);
// Path of counter file n (1, 2 or 3: Z1.dat, Z2.dat, Z3.dat).
std::string CounterFilePath(const PlayFolder& folder, int n);

// Small file helpers used by the tools and the tests.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);  // a regular file is there
bool IsFolder(const std::string& path);    // a folder is there
// Why ReadWholeFile failed, in words: no such file, a folder, or the system's reason.
std::string WhyUnreadable(const std::string& path);
bool RemoveFile(const std::string& path);
std::string ExecutablePath();           // this program's own path; empty when unknown
std::string DirectoryOf(const std::string& path);  // the part before the last separator
std::string FileNameOf(const std::string& path);   // the part after the last separator
std::string JoinPath(const std::string& directory, const std::string& name);

// ---------------------------------------------------------------------------------------------
// Scenarios.

enum ScenarioEventKind {
  kEventSpec,        // SetVehicleSpec
  kEventConfig,      // a line for the configuration file
  kEventInitialize,  // Initialize
  kEventFrame,       // one Elapse
  kEventRun,         // Elapses every step ms
  kEventKeyDown,     // KeyDown
  kEventKeyUp,       // KeyUp
  kEventKey,         // KeyDown, Elapses while the key is held, KeyUp
  kEventPower,       // SetPower
  kEventBrake,       // SetBrake
  kEventReverser,    // SetReverser
  kEventHorn,        // HornBlow
  kEventBeacon,      // SetBeaconData
  kEventDoorOpen,    // DoorOpen
  kEventDoorClose,   // DoorClose
  kEventSignal,      // SetSignal
  kEventExpect,      // an expect line, checked against the last frame
};

// One event of a scenario; each kind uses only the fields named for it.
struct ScenarioEvent {
  ScenarioEventKind kind = kEventFrame;
  int line = 0;                 // line in the scenario file, for messages
  ATS_VEHICLESPEC spec = {};    // spec: the vehicle
  std::string text;             // config: the line for the configuration file
  int32_t brakeMode = 0;        // initialize
  int32_t time = 0;             // frame: the host's time in ms
  double speed = 0.0;           // frame: km/h; run: km/h at its start
  double endSpeed = 0.0;        // run: km/h at its end
  double location = 0.0;        // frame: m, when hasLocation
  bool hasLocation = false;     // frame: a location was given
  int32_t duration = 0;         // run: ms it lasts; key: ms the key is held (0: down and up at once)
  int32_t step = 0;             // run, key: ms between its frames
  int32_t key = 0;              // keydown, keyup, key: the host's key number
  int32_t value = 0;            // power, brake: the notch; reverser: the position; horn: the type;
                                // signal: the aspect
  int32_t beaconType = 0;       // beacon
  int32_t beaconSignal = 0;     // beacon
  double beaconDistance = 0.0;  // beacon: m
  int32_t beaconOptional = 0;   // beacon
  size_t expectation = 0;       // expect: index into Scenario::expectations
};

enum WatchArray { kWatchPanel, kWatchSound };

// What an expect line looks at after the frame at which it stands.
enum ExpectTarget { kExpectPanel, kExpectSound, kExpectBrake, kExpectPower, kExpectReverser };

// One expect line: "expect panel|sound <index or watch name> = V" or "expect brake|power|reverser = V".
struct Expectation {
  ExpectTarget target;
  int index;          // panel or sound element 0..255 (resolved from the watch name)
  std::string name;   // the watch name as written; empty when given by index
  int32_t value;      // the value expected
  int line;           // line in the scenario file
};

// One trace column: an element of the panel or sound array.
struct Watch {
  WatchArray array;
  int index;          // 0..255
  std::string label;  // the column's heading
};

struct Scenario {
  std::string fileName;              // for messages
  std::vector<ScenarioEvent> events;  // in file order
  std::vector<Watch> watches;        // in file order; they apply to the whole trace
  std::vector<Expectation> expectations;  // in file order; events of kEventExpect point here
  std::vector<std::string> warnings;  // "<file>:<line>: warning: ..." for lines that do nothing
  int64_t frameCount = 0;            // Elapse calls the scenario makes
};

const int kDefaultStep = 50;              // ms between the frames of a run
const int64_t kMaxFrames = 10000000;      // frames one scenario may make
const int kMaxWatches = 512;              // trace columns one scenario may add
const int kMaxFaults = 20;                // faults of a scenario listed one by one

// Parses a scenario. Every line is read; when any is faulty the result is false, the scenario is
// left empty and error lists the faults in line order, one "<file>:<line>: <what was expected>"
// a line (at most kMaxFaults of them, then how many more lines were faulty).
bool ParseScenario(const std::string& text, const std::string& fileName, Scenario* scenario,
                   std::string* error);
// Reads and parses a scenario file.
bool ReadScenarioFile(const std::string& path, Scenario* scenario, std::string* error);
// Adds a warning for an initialize with no vehicle given before it, whatever runs, and for a
// vehicle with fewer notches than the cab systems that an initialize starts (with baseConfig and
// the scenario's config lines before it) demand: the U-Bahn cab, the further systems' brakes.
void WarnOfTooFewNotches(Scenario* scenario, const std::string& baseConfig);
// Which cab systems run with this configuration text, by their run switches; indexed by
// CabSystem (config/option_kinds.h).
std::vector<bool> CabSystemsRunningWith(const std::string& configText);
// Whether an initialize of the scenario starts the U-Bahn cab, the only reader and writer of the
// counter files.
bool UBahnCabRuns(const Scenario& scenario, const std::string& baseConfig);

// ---------------------------------------------------------------------------------------------
// Playing.

// What the player leaves in a sound element once it has started the sound that the element asked
// to play once (SOUND_PLAY): as a host, it takes the instruction up, so the element no longer
// asks for a start. The plug-in never writes this value, so a trace tells a start (1) in the
// frame that made it from a sound started before (2), and a second start shows as 1 again.
const int kSoundStarted = 2;

// The host's own arrays handed to every Elapse.
struct HostArrays {
  int panel[256];
  int sound[256];
};

// One frame of the trace.
struct TraceRow {
  int32_t time;                // ms
  float speed;                 // km/h as handed to Elapse
  double location;             // m
  ATS_HANDLES handles;         // what Elapse returned
  std::vector<int> watched;    // one value per watch, in the scenario's order
};

typedef void (*TraceSink)(const TraceRow& row, void* context);

// Told of every event once it has been played, with the host's time of the last frame (ms; 0
// before the first) and, for an expect line, its failure message (empty when it was met).
typedef void (*EventSink)(const ScenarioEvent& event, int32_t time, const std::string& failure, void* context);

// How the configuration file is produced at each initialize: the base text (a whole file, e.g.
// from --config), then every config line of the scenario met so far. Without either nothing is
// written, so the library runs with its defaults.
struct PlaySetup {
  std::string configPath;  // where the library reads its configuration
  std::string baseConfig;  // text of a configuration file to start from; may be empty
  // When set and it turns non-zero (e.g. from a signal handler), the play stops at the next
  // frame or event, calls Dispose and reports "interrupted".
  const volatile std::sig_atomic_t* stop = nullptr;
  EventSink eventSink = nullptr;  // when set, told of every played event
  void* eventContext = nullptr;   // handed to eventSink
};

// What the expect lines of a played scenario found.
struct ExpectationReport {
  int checked = 0;                    // expect lines met while playing
  std::vector<std::string> failures;  // "<file>:<line>: expected ... at t=... ms, saw ..."
};

// Plays the scenario: Load, the events in order, Dispose. Each Elapse produces a row handed to
// sink. Every expect line is checked against the last frame before it; report (when given)
// collects what they found. False with error when the library reports another interface
// version, the configuration file cannot be written or the play is stopped.
bool PlayScenario(const VelmoraLibrary& library, const Scenario& scenario, const PlaySetup& setup,
                  HostArrays* arrays, TraceSink sink, void* context, std::string* error,
                  ExpectationReport* report = nullptr);

// The expect line's failure message when the frame's row and arrays do not show its value; empty
// when they do.
std::string CheckExpectation(const Scenario& scenario, const Expectation& expectation, const TraceRow& row,
                             const HostArrays& arrays);

// What an expect line checks, in words: "panel brake_lamp = 1", "sound 75 = play (1)".
std::string DescribeExpectation(const Expectation& expectation);

// The CSV heading and a row as velmora-play prints them (no line end).
std::string TraceHeader(const Scenario& scenario);
std::string TraceLine(const TraceRow& row);

// A real number for one of the host's 32-bit float fields: out-of-range values become infinities, NaN stays NaN.
float ToHostFloat(double value);
