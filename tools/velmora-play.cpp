// velmora-play: plays a scenario through a built Velmora library in a fresh play folder and
// prints the CSV trace, one row per frame.
//
//   velmora-play [--library PATH] [--config FILE] [--every MS] [--clean] SCENARIO
//
// Without --library the library is Velmora.so (Velmora.dll on Windows) in this program's own
// folder or, as in a build tree (build/<name>/tools/velmora-play), in the folder above it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness/harness.h"

static const char kUsage[] =
    "usage: velmora-play [--library PATH] [--config FILE] [--every MS] [--clean] SCENARIO\n"
    "  --library PATH  the built library to play (default: Velmora.so/.dll beside this program or\n"
    "                  in the folder above it)\n"
    "  --config FILE   configuration file placed beside the library copy; the scenario's config\n"
    "                  lines follow it\n"
    "  --every MS      print a row only when at least MS ms have passed since the last printed one\n"
    "  --clean         delete the play folder (library copy, configuration, counter files) at the end\n";

struct Options {
  std::string library;
  std::string config;
  std::string scenario;
  long long every = 0;
  bool clean = false;  // delete the play folder after the run
};

// Thinning of the printed rows.
struct Printer {
  long long every;       // ms between printed rows; 0 prints every row
  bool printedAny;       // a row has been printed
  long long lastTime;    // time of the last printed row
};

static void PrintRow(const TraceRow& row, void* context) {
  Printer* printer = static_cast<Printer*>(context);
  long long t = row.time;
  bool due = !printer->printedAny || printer->every <= 0 || t - printer->lastTime >= printer->every ||
             t < printer->lastTime;  // a restarted clock starts the thinning anew
  if (!due) return;
  printer->printedAny = true;
  printer->lastTime = t;
  std::string line = TraceLine(row);
  line += '\n';
  fputs(line.c_str(), stdout);
}

static bool ParseArguments(int argc, char** argv, Options* options, std::string* error) {
  for (int i = 1; i < argc; i++) {
    std::string argument = argv[i];
    bool takesValue = argument == "--library" || argument == "--config" || argument == "--every";
    if (takesValue) {
      if (i + 1 >= argc) {
        *error = "option " + argument + " needs a value";
        return false;
      }
      std::string value = argv[++i];
      if (argument == "--library") options->library = value;
      if (argument == "--config") options->config = value;
      if (argument == "--every") {
        char* end = nullptr;
        long long every = strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || every < 0 || every > 2147483647LL) {
          *error = "--every needs a whole number of milliseconds, not '" + value + "'";
          return false;
        }
        options->every = every;
      }
    } else if (argument == "--clean") {
      options->clean = true;
    } else if (argument == "--help" || argument == "-h") {
      fputs(kUsage, stdout);
      exit(0);
    } else if (argument.size() > 1 && argument[0] == '-') {
      *error = "unknown option " + argument;
      return false;
    } else if (options->scenario.empty()) {
      options->scenario = argument;
    } else {
      *error = "only one scenario may be given";
      return false;
    }
  }
  if (options->scenario.empty()) {
    *error = "no scenario given";
    return false;
  }
  return true;
}

// The library beside this program, or in the folder above it (the build tree's top).
static std::string DefaultLibrary() {
  std::string name = std::string("Velmora") + kLibraryExtension;
  std::string here = DirectoryOf(ExecutablePath());
  std::string beside = JoinPath(here, name);
  if (FileExists(beside)) return beside;
  return JoinPath(DirectoryOf(here), name);
}

// The file name without folder and extension: the copy keeps the library's own name.
static std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name.empty() ? "Velmora" : name;
}

static int Fail(const std::string& message) {
  fprintf(stderr, "velmora-play: %s\n", message.c_str());
  return 2;
}

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseArguments(argc, argv, &options, &error)) {
    fprintf(stderr, "velmora-play: %s\n%s", error.c_str(), kUsage);
    return 2;
  }

  // Everything is read and checked before anything runs.
  Scenario scenario;
  if (!ReadScenarioFile(options.scenario, &scenario, &error)) return Fail(error);
  PlaySetup setup;
  if (!options.config.empty() && !ReadWholeFile(options.config, &setup.baseConfig)) {
    return Fail("cannot read the configuration file " + options.config);
  }
  std::string library = options.library.empty() ? DefaultLibrary() : options.library;
  if (!FileExists(library)) return Fail("no library at " + library + " (give one with --library)");

  PlayFolder folder;
  if (!CreatePlayFolder(&folder, &error)) return Fail(error);
  bool ready = InstallLibrary(&folder, library, BaseName(library), &error) && EnterPlayFolder(&folder, &error);
  VelmoraLibrary loaded;
  ready = ready && LoadVelmoraLibrary(folder.libraryPath, &loaded, &error);
  if (!ready) {
    if (options.clean) RemovePlayFolder(&folder);
    LeavePlayFolder(&folder);
    return Fail(error);
  }
  setup.configPath = folder.configPath;
  fprintf(stderr, "velmora-play: playing %s with %s\n", options.scenario.c_str(), folder.libraryPath.c_str());
  if (!options.clean) {
    fprintf(stderr, "velmora-play: counter files Z1.dat, Z2.dat, Z3.dat in %s\n", folder.counterDir.c_str());
  }

  puts(TraceHeader(scenario).c_str());
  Printer printer = {options.every, false, 0};
  HostArrays arrays;
  bool played = PlayScenario(loaded, scenario, setup, &arrays, PrintRow, &printer, &error);
  fflush(stdout);
  UnloadVelmoraLibrary(&loaded);
  LeavePlayFolder(&folder);
  if (options.clean) RemovePlayFolder(&folder);
  if (!played) return Fail(error);
  return 0;
}
