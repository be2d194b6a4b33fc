// velmora-play: plays a scenario through a built Velmora library in a fresh play folder, prints
// the CSV trace, one row per frame, checks the scenario's expect lines and can draw the run.
//
//   velmora-play [--library PATH] [--config FILE] [--every MS] [--svg FILE] [--keep] SCENARIO
//
// Without --library the library is Velmora.so (Velmora.dll on Windows) in this program's own
// folder or, as in a build tree (build/<name>/tools/velmora-play), in the folder above it.
// Exit status: 0 played and every expect line met, 1 an expect line failed, 2 anything else.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "harness/harness.h"
#include "harness/trace_plot.h"
#include "unicode_io.h"

static const char kUsage[] =
    "usage: velmora-play [--library PATH] [--config FILE] [--every MS] [--svg FILE] [--keep] SCENARIO\n"
    "  --library PATH  the built library to play (default: Velmora.so/.dll beside this program or\n"
    "                  in the folder above it)\n"
    "  --config FILE   configuration file placed beside the library copy; the scenario's config\n"
    "                  lines follow it\n"
    "  --every MS      print a row only when at least MS ms have passed since the last printed one\n"
    "  --svg FILE      draw the run as an SVG timeline into FILE\n"
    "  --keep          keep the play folder (library copy, configuration, counter files) after the run\n"
    "                  and name it; without it the folder is deleted at the end (--clean, which\n"
    "                  asked for that before, is still accepted)\n"
    "exit status: 0 played with every expect line met, 1 an expect line failed, 2 any other fault\n";

const int kExitExpectFailed = 1;  // played to the end, but an expect line saw something else
const int kExitFault = 2;         // bad arguments or scenario, a library that cannot be played

// Set by SIGINT or SIGTERM: the play stops at the next frame and the folder is still cleaned up.
static volatile std::sig_atomic_t gInterrupted = 0;

static void Interrupt(int) { gInterrupted = 1; }

struct Options {
  std::string library;
  std::string config;
  std::string scenario;
  std::string svg;     // where to draw the plot; empty for none
  long long every = 0;
  bool keep = false;   // keep the play folder after the run, to look at its files
};

// Where the rows go: printed (thinned) and, with --svg, recorded for the plot.
struct Output {
  long long every;      // ms between printed rows; 0 prints every row
  bool printedAny;      // a row has been printed
  long long lastTime;   // time of the last printed row
  bool closed;          // stdout refused a write (e.g. a closed pipe): nothing more is printed
  TracePlot* plot;      // null without --svg
  const Scenario* scenario;  // the scenario played
};

// A watched sound is started in this row: it is printed however thin the rows are.
static bool StartsSound(const Output* output, const TraceRow& row) {
  const std::vector<Watch>& watches = output->scenario->watches;
  for (size_t i = 0; i < row.watched.size() && i < watches.size(); i++) {
    if (watches[i].array == kWatchSound && row.watched[i] == SOUND_PLAY) return true;
  }
  return false;
}

// Writes text to stdout; false once stdout has refused a write.
static bool Print(Output* output, const std::string& text) {
  if (output->closed) return false;
  if (!WriteText(stdout, text)) output->closed = true;
  return !output->closed;
}

static void TakeRow(const TraceRow& row, void* context) {
  Output* output = static_cast<Output*>(context);
  if (output->plot != nullptr) AddTracePlotRow(output->plot, row);
  long long t = row.time;
  bool due = !output->printedAny || output->every <= 0 || t - output->lastTime >= output->every ||
             t < output->lastTime;  // a restarted clock starts the thinning anew
  if (due) {
    output->printedAny = true;
    output->lastTime = t;
  } else if (!StartsSound(output, row)) {
    return;
  }
  Print(output, TraceLine(row) + "\n");
}

// Every played event goes on the plot as a mark.
static void TakeEvent(const ScenarioEvent& event, int32_t time, const std::string& failure, void* context) {
  Output* output = static_cast<Output*>(context);
  AddTracePlotEvent(output->plot, *output->scenario, event, time, failure);
}

static bool ParseArguments(const std::vector<std::string>& arguments, Options* options, std::string* error) {
  const size_t argc = arguments.size();
  for (size_t i = 1; i < argc; i++) {
    const std::string& argument = arguments[i];
    bool takesValue = argument == "--library" || argument == "--config" || argument == "--every" || argument == "--svg";
    if (takesValue) {
      if (i + 1 >= argc) {
        *error = "option " + argument + " needs a value";
        return false;
      }
      const std::string& value = arguments[++i];
      if (argument == "--library") options->library = value;
      if (argument == "--config") options->config = value;
      if (argument == "--svg") options->svg = value;
      if (argument == "--every") {
        char* end = nullptr;
        long long every = strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || every < 0 || every > 2147483647LL) {
          *error = "--every needs a whole number of milliseconds, not '" + value + "'";
          return false;
        }
        options->every = every;
      }
    } else if (argument == "--keep") {
      options->keep = true;
    } else if (argument == "--clean") {
      // The old way to ask for what is now the default; kept so that old command lines run.
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

// Prints each line of message (a scenario may have many faulty lines) after the program's name.
static int Fail(const std::string& message) {
  size_t start = 0;
  do {
    size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    PrintText(stderr, "velmora-play: %s\n", message.substr(start, end - start).c_str());
    start = end + 1;
  } while (start < message.size());
  return kExitFault;
}

// Everything a run needs that can be checked before anything is played.
static int Prepare(const Options& options, Scenario* scenario, PlaySetup* setup, std::string* library) {
  std::string error;
  if (!ReadScenarioFile(options.scenario, scenario, &error)) return Fail(error);
  if (!options.config.empty() && !ReadWholeFile(options.config, &setup->baseConfig)) {
    return Fail("cannot read the configuration file " + options.config + ": " + WhyUnreadable(options.config));
  }
  WarnOfTooFewNotches(scenario, setup->baseConfig);
  for (const std::string& warning : scenario->warnings) PrintText(stderr, "%s\n", warning.c_str());
  *library = options.library.empty() ? DefaultLibrary() : options.library;
  if (!FileExists(*library)) {
    return Fail("no library at " + *library + ": " + WhyUnreadable(*library) + " (give one with --library)");
  }
  // The plot is written after the play; a place it cannot go is found before.
  if (!options.svg.empty()) {
    std::string folder = DirectoryOf(options.svg);
    if (IsFolder(options.svg)) return Fail("cannot write the plot " + options.svg + ": it is a folder");
    if (!IsFolder(folder)) return Fail("cannot write the plot " + options.svg + ": there is no folder " + folder);
  }
  return 0;
}

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Rows end in LF alone, byte for byte as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
#else
  // A reader that goes away (| head) must not kill the player before it has cleaned up.
  signal(SIGPIPE, SIG_IGN);
#endif
  signal(SIGINT, Interrupt);
  signal(SIGTERM, Interrupt);

  Options options;
  std::string error;
  if (!ParseArguments(ProgramArguments(argc, argv), &options, &error)) {
    PrintText(stderr, "velmora-play: %s\n%s", error.c_str(), kUsage);
    return kExitFault;
  }
  Scenario scenario;
  PlaySetup setup;
  std::string library;
  if (int status = Prepare(options, &scenario, &setup, &library)) return status;

  // A failed start leaves nothing worth keeping: the play folder goes, --keep or not.
  PlayFolder folder;
  if (!CreatePlayFolder(&folder, &error)) return Fail(error);
  VelmoraLibrary loaded;
  bool ready = InstallLibraryFile(&folder, library, FileNameOf(library), &error) && EnterPlayFolder(&folder, &error) &&
               LoadVelmoraLibrary(folder.libraryPath, &loaded, &error, library);
  if (!ready) {
    RemovePlayFolder(&folder);
    return Fail(error);
  }
  setup.configPath = folder.configPath;
  setup.stop = &gInterrupted;
  PrintText(stderr, "velmora-play: playing %s with %s\n", options.scenario.c_str(), library.c_str());
  if (options.keep) {
    PrintText(stderr, "velmora-play: the play folder %s is kept after the run\n", folder.root.c_str());
    // Only the U-Bahn cab reads and writes the counter files.
    if (UBahnCabRuns(scenario, setup.baseConfig)) {
      PrintText(stderr, "velmora-play: counter files Z1.dat, Z2.dat, Z3.dat in %s\n", folder.counterDir.c_str());
    }
  }

  TracePlot plot;
  if (!options.svg.empty()) {
    StartTracePlot(&plot, scenario, setup.baseConfig, options.config);
    setup.eventSink = TakeEvent;
  }
  Output output = {options.every, false, 0, false, options.svg.empty() ? nullptr : &plot, &scenario};
  setup.eventContext = &output;
  Print(&output, TraceHeader(scenario) + "\n");
  HostArrays arrays;
  ExpectationReport report;
  bool played = PlayScenario(loaded, scenario, setup, &arrays, TakeRow, &output, &error, &report);
  if (fflush(stdout) != 0) output.closed = true;
  UnloadVelmoraLibrary(&loaded);
  LeavePlayFolder(&folder);
  if (!options.keep) RemovePlayFolder(&folder);

  if (!played) return Fail(error);
  int status = 0;
  if (output.closed) status = Fail("the trace could not be written in full: its output was closed");
  if (!options.svg.empty()) {
    if (WriteWholeFile(options.svg, TracePlotSvg(plot))) {
      PrintText(stderr, "velmora-play: plot written to %s\n", options.svg.c_str());
    } else {
      status = Fail("cannot write the plot " + options.svg + ": " + strerror(errno));
    }
  }
  for (const std::string& failure : report.failures) PrintText(stderr, "%s\n", failure.c_str());
  if (!report.failures.empty()) {
    PrintText(stderr, "velmora-play: %d of %d expect lines failed\n", static_cast<int>(report.failures.size()),
            report.checked);
    if (status == 0) status = kExitExpectFailed;
  } else if (report.checked > 0) {
    PrintText(stderr, "velmora-play: all %d expect lines met\n", report.checked);
  }
  return status;
}
