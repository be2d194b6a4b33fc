// The scenario reader: turns the text of a scenario into a checked list of host events.
// Every line is checked completely before anything is played; the faults of all lines are
// listed together, in line order, each with the file, the line and what was expected there.
// One table lists the kinds of line, each read by a function of its own.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "harness/harness.h"

const size_t kQuoteLimit = 40;  // characters of a faulty word shown in a message

// A word of the scenario as it may be shown in a message: shortened, unprintable bytes as "?".
static std::string Quote(const std::string& word) {
  std::string shown = "'";
  for (size_t i = 0; i < word.size() && i < kQuoteLimit; i++) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    shown += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  }
  if (word.size() > kQuoteLimit) shown += "...";
  return shown + "'";
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The line without its comment, split into words at blanks.
static std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size() && line[i] != '#') {
    if (IsBlank(line[i])) {
      i++;
      continue;
    }
    size_t start = i;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') i++;
    words.push_back(line.substr(start, i - start));
  }
  return words;
}

// The text of a config line: everything after the keyword up to a comment, without the blanks
// around it.
static std::string ConfigText(const std::string& line) {
  size_t start = line.find("config");
  start = (start == std::string::npos) ? line.size() : start + 6;
  size_t end = line.find('#', start);
  if (end == std::string::npos) end = line.size();
  while (start < end && IsBlank(line[start])) start++;
  while (end > start && IsBlank(line[end - 1])) end--;
  return line.substr(start, end - start);
}

static bool ParseWhole(const std::string& word, int64_t low, int64_t high, int64_t* value) {
  if (word.empty() || word.size() > 24) return false;
  const char* begin = word.c_str();
  char* end = nullptr;
  errno = 0;
  long long parsed = strtoll(begin, &end, 10);
  if (errno != 0 || end == begin || *end != '\0') return false;
  if (parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

static bool ParseReal(const std::string& word, double* value) {
  if (word.empty()) return false;
  const char* begin = word.c_str();
  char* end = nullptr;
  errno = 0;
  double parsed = strtod(begin, &end);
  if (end == begin || *end != '\0') return false;
  if (errno == ERANGE && std::isinf(parsed)) return false;  // beyond what a double holds
  *value = parsed;
  return true;
}

float ToHostFloat(double value) {
  const double kFloatMax = 3.4028234663852886e38;
  if (std::isnan(value)) return NAN;
  if (value > kFloatMax) return INFINITY;
  if (value < -kFloatMax) return -INFINITY;
  return static_cast<float>(value);
}

// A fault of the scenario: its line and the message without the file's name.
struct Fault {
  int line;
  std::string message;
};

// The reading of one scenario: where it stands and how the clock moves.
struct Reader {
  int line = 0;
  std::vector<Fault> faults;  // in the order they were found
  int64_t time = 0;           // ms of the last frame (0 before the first)
  bool hadFrame = false;      // a frame has been made
  bool restarted = false;     // an initialize came after the last frame: the clock may start anew
  int32_t step = kDefaultStep;  // ms between the frames of a run
  int64_t frames = 0;         // Elapse calls so far
  std::map<std::string, int> labels;  // watch label -> the line of its watch
};

// Notes a fault of the current line; always false, so that a reader can return it.
static bool Fail(Reader* reader, const std::string& message) {
  reader->faults.push_back({reader->line, message});
  return false;
}

struct LineKind;

// One line of the scenario as its reader gets it.
struct ScenarioLine {
  const std::string& text;                // the whole line
  const std::vector<std::string>& words;  // its words, without the comment
  const LineKind& kind;                   // what the first word says it is
};

typedef bool (*LineReaderProc)(Reader* reader, const ScenarioLine& line, Scenario* scenario);

// A kind of line: its keyword, the event it makes, how it is read, and what it takes.
struct LineKind {
  const char* keyword;
  ScenarioEventKind event;  // the event it makes (ignored by lines that make none)
  LineReaderProc read;
  const char* usage;        // the line as it is written, for messages
  const char* argument;     // what its one number is, for lines that take one
};

static const char kInt32Range[] = "a whole number from -2147483648 to 2147483647";

// Reads the whole-number argument at position index, named what for the message.
static bool WholeArgument(Reader* reader, const std::vector<std::string>& words, size_t index,
                          const char* what, int64_t low, int64_t high, int32_t* value) {
  if (index >= words.size()) return Fail(reader, "expected " + std::string(what) + " after " + Quote(words[index - 1]));
  int64_t parsed = 0;
  if (!ParseWhole(words[index], low, high, &parsed)) {
    std::string range = (low == INT32_MIN && high == INT32_MAX)
                            ? std::string(kInt32Range)
                            : "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    return Fail(reader, "expected " + std::string(what) + " (" + range + "), found " + Quote(words[index]));
  }
  *value = static_cast<int32_t>(parsed);
  return true;
}

static bool RealArgument(Reader* reader, const std::vector<std::string>& words, size_t index, const char* what,
                         double* value) {
  if (index >= words.size()) return Fail(reader, "expected " + std::string(what) + " after " + Quote(words[index - 1]));
  if (!ParseReal(words[index], value)) {
    return Fail(reader, "expected " + std::string(what) + " (a number such as 12.5, nan or inf), found " +
                            Quote(words[index]));
  }
  return true;
}

// No words may follow the last argument.
static bool NoMore(Reader* reader, const ScenarioLine& line, size_t count) {
  if (line.words.size() <= count) return true;
  return Fail(reader, "unexpected " + Quote(line.words[count]) + " at the end of the line; expected: " + line.kind.usage);
}

// Frames every step ms over duration ms from the current time.
static bool Advance(Reader* reader, int32_t duration, const char* what) {
  int64_t end = reader->time + duration;
  if (end > INT32_MAX) {
    return Fail(reader, std::string(what) + " would take the clock past 2147483647 ms");
  }
  reader->frames += (static_cast<int64_t>(duration) + reader->step - 1) / reader->step;
  reader->time = end;
  if (duration > 0) {
    reader->hadFrame = true;
    reader->restarted = false;
  }
  return true;
}

static ScenarioEvent NewEvent(const Reader& reader, const ScenarioLine& line) {
  ScenarioEvent event;
  event.kind = line.kind.event;
  event.line = reader.line;
  return event;
}

// "spec <BrakeNotches> <PowerNotches> <AtsNotch> <B67Notch> <Cars>"
static bool ReadSpec(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  ATS_VEHICLESPEC& spec = event.spec;
  bool read = WholeArgument(reader, line.words, 1, "BrakeNotches", INT32_MIN, INT32_MAX, &spec.BrakeNotches) &&
              WholeArgument(reader, line.words, 2, "PowerNotches", INT32_MIN, INT32_MAX, &spec.PowerNotches) &&
              WholeArgument(reader, line.words, 3, "AtsNotch", INT32_MIN, INT32_MAX, &spec.AtsNotch) &&
              WholeArgument(reader, line.words, 4, "B67Notch", INT32_MIN, INT32_MAX, &spec.B67Notch) &&
              WholeArgument(reader, line.words, 5, "Cars", INT32_MIN, INT32_MAX, &spec.Cars) && NoMore(reader, line, 6);
  if (read) scenario->events.push_back(event);
  return read;
}

// "config <line>": the rest of the line goes to the configuration file.
static bool ReadConfig(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  event.text = ConfigText(line.text);
  if (event.text.empty()) return Fail(reader, "expected a configuration line after 'config', e.g. config sifakey=20");
  scenario->events.push_back(event);
  return true;
}

// "watch panel|sound <index> [label]": a trace column, no event.
static bool ReadWatch(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  const std::vector<std::string>& words = line.words;
  if (words.size() < 2) return Fail(reader, std::string("expected 'panel' or 'sound' after 'watch': ") + line.kind.usage);
  Watch watch;
  if (words[1] == "panel") {
    watch.array = kWatchPanel;
  } else if (words[1] == "sound") {
    watch.array = kWatchSound;
  } else {
    return Fail(reader, "expected 'panel' or 'sound' after 'watch', found " + Quote(words[1]));
  }
  int32_t index = 0;
  if (!WholeArgument(reader, words, 2, "an element index", 0, 255, &index)) return false;
  watch.index = index;
  if (words.size() > 3) {
    if (words[3].find_first_of(",\"") != std::string::npos) {
      return Fail(reader, "expected a label without commas or quotes, found " + Quote(words[3]));
    }
    watch.label = words[3];
  } else {
    watch.label = words[1] + "[" + std::to_string(index) + "]";
  }
  if (!NoMore(reader, line, 4)) return false;
  if (static_cast<int>(scenario->watches.size()) >= kMaxWatches) {
    return Fail(reader, "too many watch lines: at most " + std::to_string(kMaxWatches));
  }
  std::map<std::string, int>::const_iterator used = reader->labels.find(watch.label);
  if (used != reader->labels.end()) {
    return Fail(reader, "the label " + Quote(watch.label) + " is already used by the watch on line " +
                            std::to_string(used->second) + "; give this watch a label of its own");
  }
  reader->labels[watch.label] = reader->line;
  scenario->watches.push_back(watch);
  return true;
}

// "initialize [brakeMode]"
static bool ReadInitialize(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  if (line.words.size() > 1 &&
      !WholeArgument(reader, line.words, 1, "the brake mode", INT32_MIN, INT32_MAX, &event.brakeMode)) {
    return false;
  }
  if (!NoMore(reader, line, 2)) return false;
  reader->restarted = true;
  scenario->events.push_back(event);
  return true;
}

// "frame <time_ms> <speed_kmh> [<location_m>]"
static bool ReadFrame(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  const std::vector<std::string>& words = line.words;
  if (!WholeArgument(reader, words, 1, "the time in ms", INT32_MIN, INT32_MAX, &event.time)) return false;
  if (!RealArgument(reader, words, 2, "the speed in km/h", &event.speed)) return false;
  if (words.size() > 3) {
    if (!RealArgument(reader, words, 3, "the location in m", &event.location)) return false;
    event.hasLocation = true;
  }
  if (!NoMore(reader, line, 4)) return false;
  if (reader->hadFrame && !reader->restarted && event.time < reader->time) {
    return Fail(reader, "the frame's time " + std::to_string(event.time) + " ms lies before the previous frame's " +
                            std::to_string(reader->time) + " ms (only an initialize may restart the clock)");
  }
  reader->time = event.time;
  reader->hadFrame = true;
  reader->restarted = false;
  reader->frames++;
  scenario->events.push_back(event);
  return true;
}

// "run <duration_ms> <speed_kmh> [<end_speed_kmh>]"
static bool ReadRun(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  const std::vector<std::string>& words = line.words;
  if (!WholeArgument(reader, words, 1, "the duration in ms", 0, INT32_MAX, &event.duration)) return false;
  if (!RealArgument(reader, words, 2, "the speed in km/h", &event.speed)) return false;
  event.endSpeed = event.speed;
  if (words.size() > 3 && !RealArgument(reader, words, 3, "the end speed in km/h", &event.endSpeed)) return false;
  if (!NoMore(reader, line, 4)) return false;
  event.step = reader->step;
  if (!Advance(reader, event.duration, "this run")) return false;
  scenario->events.push_back(event);
  return true;
}

// "step <ms>": the interval of later runs and key holds, no event.
static bool ReadStep(Reader* reader, const ScenarioLine& line, Scenario*) {
  int32_t step = 0;
  if (!WholeArgument(reader, line.words, 1, "the frame interval in ms", 1, INT32_MAX, &step)) return false;
  if (!NoMore(reader, line, 2)) return false;
  reader->step = step;
  return true;
}

// "keydown <key>", "keyup <key>"
static bool ReadKeyCall(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  if (!WholeArgument(reader, line.words, 1, "the key number", INT32_MIN, INT32_MAX, &event.key)) return false;
  if (!NoMore(reader, line, 2)) return false;
  scenario->events.push_back(event);
  return true;
}

// "key <key> [<hold_ms>]"
static bool ReadKey(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  const std::vector<std::string>& words = line.words;
  if (!WholeArgument(reader, words, 1, "the key number", INT32_MIN, INT32_MAX, &event.key)) return false;
  if (words.size() > 2 && !WholeArgument(reader, words, 2, "the hold time in ms", 0, INT32_MAX, &event.duration)) {
    return false;
  }
  if (!NoMore(reader, line, 3)) return false;
  event.step = reader->step;
  if (!Advance(reader, event.duration, "holding this key")) return false;
  scenario->events.push_back(event);
  return true;
}

// "power <notch>", "brake <notch>", "reverser <position>", "horn <type>", "signal <aspect>"
static bool ReadValueCall(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  if (!WholeArgument(reader, line.words, 1, line.kind.argument, INT32_MIN, INT32_MAX, &event.value)) return false;
  if (!NoMore(reader, line, 2)) return false;
  scenario->events.push_back(event);
  return true;
}

// "beacon <type> <signal> <distance> <optional>"
static bool ReadBeacon(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  ScenarioEvent event = NewEvent(*reader, line);
  const std::vector<std::string>& words = line.words;
  bool read = WholeArgument(reader, words, 1, "the beacon type", INT32_MIN, INT32_MAX, &event.beaconType) &&
              WholeArgument(reader, words, 2, "the signal", INT32_MIN, INT32_MAX, &event.beaconSignal) &&
              RealArgument(reader, words, 3, "the distance in m", &event.beaconDistance) &&
              WholeArgument(reader, words, 4, "the optional data", INT32_MIN, INT32_MAX, &event.beaconOptional) &&
              NoMore(reader, line, 5);
  if (read) scenario->events.push_back(event);
  return read;
}

// "dooropen", "doorclose"
static bool ReadPlainCall(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  if (!NoMore(reader, line, 1)) return false;
  scenario->events.push_back(NewEvent(*reader, line));
  return true;
}

static const char kExpectUsage[] = "expect panel|sound <index or watch name> = <value>, or expect brake|power|reverser = <value>";

// A sound value as a word: play, loop, stop, started.
static bool SoundWord(const std::string& word, int32_t* value) {
  if (word == "play") *value = SOUND_PLAY;
  else if (word == "loop") *value = SOUND_LOOP;
  else if (word == "stop") *value = SOUND_STOP;
  else if (word == "started") *value = kSoundStarted;
  else return false;
  return true;
}

// "expect <target> [<element>] = <value>"; the "=" may stand apart or touch its neighbours.
static bool ReadExpect(Reader* reader, const ScenarioLine& line, Scenario* scenario) {
  if (!reader->hadFrame) {
    return Fail(reader, "an expect line needs a frame before it: it is checked against the last frame");
  }
  size_t start = line.text.find("expect") + 6;
  size_t equals = line.text.find('=', start);
  size_t comment = line.text.find('#', start);
  if (equals == std::string::npos || (comment != std::string::npos && comment < equals)) {
    return Fail(reader, std::string("expected '=' and the value: ") + kExpectUsage);
  }
  std::vector<std::string> left = SplitWords(line.text.substr(start, equals - start));
  std::vector<std::string> right = SplitWords(line.text.substr(equals + 1));
  Expectation expectation;
  expectation.index = 0;
  expectation.value = 0;
  expectation.line = reader->line;
  const std::string target = left.empty() ? std::string() : left[0];
  if (target == "panel" || target == "sound") {
    expectation.target = target == "panel" ? kExpectPanel : kExpectSound;
    if (left.size() != 2) return Fail(reader, "expected one element (index or watch name) after '" + target + "': " + kExpectUsage);
    int64_t index = 0;
    if (ParseWhole(left[1], INT32_MIN, INT32_MAX, &index)) {
      if (index < 0 || index > 255) return Fail(reader, "expected an element index from 0 to 255, found " + Quote(left[1]));
      expectation.index = static_cast<int>(index);
    } else {
      expectation.name = left[1];  // a watch's label, resolved once every watch is known
    }
  } else if (target == "brake" || target == "power" || target == "reverser") {
    expectation.target = target == "brake" ? kExpectBrake : target == "power" ? kExpectPower : kExpectReverser;
    if (left.size() != 1) return Fail(reader, "unexpected " + Quote(left[1]) + " before '=': " + kExpectUsage);
  } else {
    return Fail(reader, "expected panel, sound, brake, power or reverser after 'expect'" +
                            (target.empty() ? std::string() : ", found " + Quote(target)));
  }
  if (right.empty()) return Fail(reader, std::string("expected the value after '=': ") + kExpectUsage);
  bool word = expectation.target == kExpectSound && SoundWord(right[0], &expectation.value);
  if (!word && !WholeArgument(reader, right, 0, "the value", INT32_MIN, INT32_MAX, &expectation.value)) return false;
  if (right.size() > 1) return Fail(reader, "unexpected " + Quote(right[1]) + " after the value: " + kExpectUsage);
  ScenarioEvent event = NewEvent(*reader, line);
  event.expectation = scenario->expectations.size();
  scenario->expectations.push_back(expectation);
  scenario->events.push_back(event);
  return true;
}

// Every kind of line, in the order the messages list them.
static const LineKind kLineKinds[] = {
    {"spec", kEventSpec, ReadSpec, "spec <BrakeNotches> <PowerNotches> <AtsNotch> <B67Notch> <Cars>", ""},
    {"config", kEventConfig, ReadConfig, "config <line>", ""},
    {"watch", kEventFrame, ReadWatch, "watch panel|sound <index 0..255> [label]", ""},
    {"initialize", kEventInitialize, ReadInitialize, "initialize [brakeMode]", ""},
    {"frame", kEventFrame, ReadFrame, "frame <time_ms> <speed_kmh> [<location_m>]", ""},
    {"run", kEventRun, ReadRun, "run <duration_ms> <speed_kmh> [<end_speed_kmh>]", ""},
    {"step", kEventFrame, ReadStep, "step <ms>", ""},
    {"keydown", kEventKeyDown, ReadKeyCall, "keydown <key>", ""},
    {"keyup", kEventKeyUp, ReadKeyCall, "keyup <key>", ""},
    {"key", kEventKey, ReadKey, "key <key> [<hold_ms>]", ""},
    {"power", kEventPower, ReadValueCall, "power <notch>", "the notch"},
    {"brake", kEventBrake, ReadValueCall, "brake <notch>", "the notch"},
    {"reverser", kEventReverser, ReadValueCall, "reverser <position>", "the reverser position"},
    {"horn", kEventHorn, ReadValueCall, "horn <type>", "the horn type"},
    {"beacon", kEventBeacon, ReadBeacon, "beacon <type> <signal> <distance> <optional>", ""},
    {"dooropen", kEventDoorOpen, ReadPlainCall, "dooropen", ""},
    {"doorclose", kEventDoorClose, ReadPlainCall, "doorclose", ""},
    {"signal", kEventSignal, ReadValueCall, "signal <aspect>", "the signal"},
    {"expect", kEventExpect, ReadExpect, kExpectUsage, ""},
};

// "spec, config, ... or expect"
static std::string Keywords() {
  std::string list;
  const size_t count = sizeof kLineKinds / sizeof kLineKinds[0];
  for (size_t i = 0; i < count; i++) {
    if (i > 0) list += i + 1 == count ? " or " : ", ";
    list += kLineKinds[i].keyword;
  }
  return list;
}

// Reads one line into the scenario; false when the line is faulty (the fault is noted).
static bool ReadLine(Reader* reader, const std::string& text, Scenario* scenario) {
  std::vector<std::string> words = SplitWords(text);
  if (words.empty()) return true;
  for (const LineKind& kind : kLineKinds) {
    if (words[0] != kind.keyword) continue;
    if (kind.read(reader, ScenarioLine{text, words, kind}, scenario)) return true;
    // A faulty line that makes frames counts as a frame, so that the expect lines after it are
    // not faulted for its sake.
    if (kind.read == ReadFrame || kind.read == ReadRun || kind.read == ReadKey) reader->hadFrame = true;
    return false;
  }
  return Fail(reader, "expected an event (" + Keywords() + "), found " + Quote(words[0]));
}

// Expect lines that name a watch get its element; a name no watch of that array carries is a fault.
static void ResolveExpectNames(Reader* reader, Scenario* scenario) {
  for (Expectation& expectation : scenario->expectations) {
    if (expectation.name.empty()) continue;
    WatchArray array = expectation.target == kExpectPanel ? kWatchPanel : kWatchSound;
    const Watch* found = nullptr;
    const Watch* other = nullptr;
    for (const Watch& watch : scenario->watches) {
      if (watch.label != expectation.name) continue;
      if (watch.array == array) found = &watch;
      else other = &watch;
    }
    if (found == nullptr) {
      reader->line = expectation.line;
      const char* kind = array == kWatchPanel ? "panel" : "sound";
      const char* otherKind = array == kWatchPanel ? "sound" : "panel";
      Fail(reader, "no watch " + std::string(kind) + " line is labelled " + Quote(expectation.name) +
                       (other != nullptr ? " (it labels a " + std::string(otherKind) + " element)" : std::string()));
      continue;
    }
    expectation.index = found->index;
  }
}

static std::string Warning(const Scenario& scenario, int line, const std::string& message) {
  return scenario.fileName + ":" + std::to_string(line) + ": warning: " + message;
}

// Lines that do nothing: config lines after the last initialize, or no initialize at all.
static void WarnOfLinesWithoutEffect(Scenario* scenario) {
  int lastInitialize = 0;
  for (const ScenarioEvent& event : scenario->events) {
    if (event.kind == kEventInitialize) lastInitialize = event.line;
  }
  if (lastInitialize == 0) {
    scenario->warnings.push_back(scenario->fileName +
                                 ": warning: no initialize line: the library is never initialized, so it reads no "
                                 "configuration and starts nothing");
    return;
  }
  for (const ScenarioEvent& event : scenario->events) {
    if (event.kind == kEventConfig && event.line > lastInitialize) {
      scenario->warnings.push_back(Warning(*scenario, event.line,
                                           "config line after the last initialize (line " + std::to_string(lastInitialize) +
                                               "): it never reaches the library, which reads its configuration at initialize"));
    }
  }
}

// The faults as the message lists them: in line order, at most kMaxFaults.
static std::string FaultList(const std::string& fileName, std::vector<Fault> faults) {
  std::stable_sort(faults.begin(), faults.end(), [](const Fault& a, const Fault& b) { return a.line < b.line; });
  std::string list;
  for (size_t i = 0; i < faults.size() && i < static_cast<size_t>(kMaxFaults); i++) {
    if (i > 0) list += "\n";
    list += fileName + ":" + std::to_string(faults[i].line) + ": " + faults[i].message;
  }
  if (faults.size() > static_cast<size_t>(kMaxFaults)) {
    list += "\n" + fileName + ": " + std::to_string(faults.size() - kMaxFaults) + " more faults not shown";
  }
  return list;
}

bool ParseScenario(const std::string& text, const std::string& fileName, Scenario* scenario, std::string* error) {
  Scenario read;
  read.fileName = fileName;
  Reader reader;
  bool tooMany = false;  // the frame limit has been passed (said once)
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    reader.line++;
    ReadLine(&reader, text.substr(start, end - start), &read);
    if (reader.frames > kMaxFrames && !tooMany) {
      Fail(&reader, "the scenario makes more than " + std::to_string(kMaxFrames) + " frames; use a longer step");
      tooMany = true;
    }
    start = end + 1;
  }
  ResolveExpectNames(&reader, &read);
  if (!reader.faults.empty()) {
    *error = FaultList(fileName, reader.faults);
    *scenario = Scenario();
    scenario->fileName = fileName;
    return false;
  }
  WarnOfLinesWithoutEffect(&read);
  read.frameCount = reader.frames;
  *scenario = read;
  return true;
}

bool ReadScenarioFile(const std::string& path, Scenario* scenario, std::string* error) {
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    *scenario = Scenario();
    *error = path + ": cannot read the scenario file: " + WhyUnreadable(path);
    return false;
  }
  return ParseScenario(text, path, scenario, error);
}
