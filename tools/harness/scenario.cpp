// The scenario reader: turns the text of a scenario into a checked list of host events.
// Every line is checked completely before anything is played; the first fault stops the
// reading with the file, the line and what was expected there.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// The reading of one scenario: where it stands and how the clock moves.
struct Reader {
  std::string fileName;
  int line;
  std::string error;
  int64_t time;            // ms of the last frame (0 before the first)
  bool hadFrame;           // a frame has been made
  bool restarted;          // an initialize came after the last frame: the clock may start anew
  int32_t step;            // ms between the frames of a run
  int64_t frames;          // Elapse calls so far
  std::map<std::string, int> labels;  // watch label -> the line of its watch
};

static bool Fail(Reader* reader, const std::string& message) {
  reader->error = reader->fileName + ":" + std::to_string(reader->line) + ": " + message;
  return false;
}

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
static bool NoMore(Reader* reader, const std::vector<std::string>& words, size_t count, const char* usage) {
  if (words.size() <= count) return true;
  return Fail(reader, "unexpected " + Quote(words[count]) + " at the end of the line; expected: " + usage);
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

static ScenarioEvent NewEvent(ScenarioEventKind kind, int line) {
  ScenarioEvent event;
  event.kind = kind;
  event.line = line;
  for (int32_t& number : event.numbers) number = 0;
  event.reals[0] = 0.0;
  event.reals[1] = 0.0;
  event.hasLocation = false;
  return event;
}

static const char kKeywords[] =
    "spec, config, watch, initialize, frame, run, step, keydown, keyup, key, power, brake, reverser, horn, "
    "beacon, dooropen, doorclose, signal or expect";

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
static bool ReadExpect(Reader* reader, const std::string& line, Scenario* scenario) {
  if (!reader->hadFrame) {
    return Fail(reader, "an expect line needs a frame before it: it is checked against the last frame");
  }
  size_t start = line.find("expect") + 6;
  size_t equals = line.find('=', start);
  size_t comment = line.find('#', start);
  if (equals == std::string::npos || (comment != std::string::npos && comment < equals)) {
    return Fail(reader, std::string("expected '=' and the value: ") + kExpectUsage);
  }
  std::vector<std::string> left = SplitWords(line.substr(start, equals - start));
  std::vector<std::string> right = SplitWords(line.substr(equals + 1));
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
  ScenarioEvent event = NewEvent(kEventExpect, reader->line);
  event.numbers[0] = static_cast<int32_t>(scenario->expectations.size());
  scenario->expectations.push_back(expectation);
  scenario->events.push_back(event);
  return true;
}

// Expect lines that name a watch get its element; a name no watch of that array carries is a fault.
static bool ResolveExpectNames(Reader* reader, Scenario* scenario) {
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
      return Fail(reader, "no watch " + std::string(kind) + " line is labelled " + Quote(expectation.name) +
                              (other != nullptr ? " (it labels a " + std::string(otherKind) + " element)" : std::string()));
    }
    expectation.index = found->index;
  }
  return true;
}

// Reads one line's event into the scenario.
static bool ReadLine(Reader* reader, const std::string& line, Scenario* scenario) {
  std::vector<std::string> words = SplitWords(line);
  if (words.empty()) return true;
  const std::string& keyword = words[0];

  if (keyword == "spec") {
    ScenarioEvent event = NewEvent(kEventSpec, reader->line);
    const char* names[5] = {"BrakeNotches", "PowerNotches", "AtsNotch", "B67Notch", "Cars"};
    for (size_t i = 0; i < 5; i++) {
      if (!WholeArgument(reader, words, i + 1, names[i], INT32_MIN, INT32_MAX, &event.numbers[i])) return false;
    }
    if (!NoMore(reader, words, 6, "spec <BrakeNotches> <PowerNotches> <AtsNotch> <B67Notch> <Cars>")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "config") {
    ScenarioEvent event = NewEvent(kEventConfig, reader->line);
    event.text = ConfigText(line);
    if (event.text.empty()) return Fail(reader, "expected a configuration line after 'config', e.g. config sifakey=20");
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "watch") {
    const char* usage = "watch panel|sound <index 0..255> [label]";
    if (words.size() < 2) return Fail(reader, std::string("expected 'panel' or 'sound' after 'watch': ") + usage);
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
    if (!NoMore(reader, words, 4, usage)) return false;
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
  if (keyword == "initialize") {
    ScenarioEvent event = NewEvent(kEventInitialize, reader->line);
    if (words.size() > 1 && !WholeArgument(reader, words, 1, "the brake mode", INT32_MIN, INT32_MAX, &event.numbers[0])) {
      return false;
    }
    if (!NoMore(reader, words, 2, "initialize [brakeMode]")) return false;
    reader->restarted = true;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "frame") {
    ScenarioEvent event = NewEvent(kEventFrame, reader->line);
    if (!WholeArgument(reader, words, 1, "the time in ms", INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (!RealArgument(reader, words, 2, "the speed in km/h", &event.reals[0])) return false;
    if (words.size() > 3) {
      if (!RealArgument(reader, words, 3, "the location in m", &event.reals[1])) return false;
      event.hasLocation = true;
    }
    if (!NoMore(reader, words, 4, "frame <time_ms> <speed_kmh> [<location_m>]")) return false;
    if (reader->hadFrame && !reader->restarted && event.numbers[0] < reader->time) {
      return Fail(reader, "the frame's time " + std::to_string(event.numbers[0]) + " ms lies before the previous frame's " +
                              std::to_string(reader->time) + " ms (only an initialize may restart the clock)");
    }
    reader->time = event.numbers[0];
    reader->hadFrame = true;
    reader->restarted = false;
    reader->frames++;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "run") {
    ScenarioEvent event = NewEvent(kEventRun, reader->line);
    if (!WholeArgument(reader, words, 1, "the duration in ms", 0, INT32_MAX, &event.numbers[0])) return false;
    if (!RealArgument(reader, words, 2, "the speed in km/h", &event.reals[0])) return false;
    event.reals[1] = event.reals[0];
    if (words.size() > 3 && !RealArgument(reader, words, 3, "the end speed in km/h", &event.reals[1])) return false;
    if (!NoMore(reader, words, 4, "run <duration_ms> <speed_kmh> [<end_speed_kmh>]")) return false;
    event.numbers[1] = reader->step;
    if (!Advance(reader, event.numbers[0], "this run")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "step") {
    int32_t step = 0;
    if (!WholeArgument(reader, words, 1, "the frame interval in ms", 1, INT32_MAX, &step)) return false;
    if (!NoMore(reader, words, 2, "step <ms>")) return false;
    reader->step = step;
    return true;
  }
  if (keyword == "keydown" || keyword == "keyup") {
    ScenarioEvent event = NewEvent(keyword == "keydown" ? kEventKeyDown : kEventKeyUp, reader->line);
    if (!WholeArgument(reader, words, 1, "the key number", INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (!NoMore(reader, words, 2, keyword == "keydown" ? "keydown <key>" : "keyup <key>")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "key") {
    ScenarioEvent event = NewEvent(kEventKey, reader->line);
    if (!WholeArgument(reader, words, 1, "the key number", INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (words.size() > 2 && !WholeArgument(reader, words, 2, "the hold time in ms", 0, INT32_MAX, &event.numbers[1])) {
      return false;
    }
    if (!NoMore(reader, words, 3, "key <key> [<hold_ms>]")) return false;
    event.numbers[2] = reader->step;
    if (!Advance(reader, event.numbers[1], "holding this key")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "power" || keyword == "brake" || keyword == "reverser" || keyword == "horn") {
    ScenarioEventKind kind = keyword == "power" ? kEventPower
                             : keyword == "brake" ? kEventBrake
                             : keyword == "reverser" ? kEventReverser
                                                     : kEventHorn;
    const char* what = kind == kEventReverser ? "the reverser position" : kind == kEventHorn ? "the horn type" : "the notch";
    ScenarioEvent event = NewEvent(kind, reader->line);
    if (!WholeArgument(reader, words, 1, what, INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (!NoMore(reader, words, 2, (keyword + " <number>").c_str())) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "beacon") {
    ScenarioEvent event = NewEvent(kEventBeacon, reader->line);
    if (!WholeArgument(reader, words, 1, "the beacon type", INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (!WholeArgument(reader, words, 2, "the signal", INT32_MIN, INT32_MAX, &event.numbers[1])) return false;
    if (!RealArgument(reader, words, 3, "the distance in m", &event.reals[0])) return false;
    if (!WholeArgument(reader, words, 4, "the optional data", INT32_MIN, INT32_MAX, &event.numbers[2])) return false;
    if (!NoMore(reader, words, 5, "beacon <type> <signal> <distance> <optional>")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "dooropen" || keyword == "doorclose") {
    if (!NoMore(reader, words, 1, keyword.c_str())) return false;
    scenario->events.push_back(NewEvent(keyword == "dooropen" ? kEventDoorOpen : kEventDoorClose, reader->line));
    return true;
  }
  if (keyword == "signal") {
    ScenarioEvent event = NewEvent(kEventSignal, reader->line);
    if (!WholeArgument(reader, words, 1, "the signal", INT32_MIN, INT32_MAX, &event.numbers[0])) return false;
    if (!NoMore(reader, words, 2, "signal <aspect>")) return false;
    scenario->events.push_back(event);
    return true;
  }
  if (keyword == "expect") return ReadExpect(reader, line, scenario);
  return Fail(reader, "expected an event (" + std::string(kKeywords) + "), found " + Quote(keyword));
}

// Lines that do nothing: config lines after the last initialize, or no initialize at all.
static void AddWarnings(Scenario* scenario) {
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
      scenario->warnings.push_back(scenario->fileName + ":" + std::to_string(event.line) +
                                   ": warning: config line after the last initialize (line " +
                                   std::to_string(lastInitialize) +
                                   "): it never reaches the library, which reads its configuration at initialize");
    }
  }
}

bool ParseScenario(const std::string& text, const std::string& fileName, Scenario* scenario, std::string* error) {
  Scenario read;
  read.fileName = fileName;
  Reader reader;
  reader.fileName = fileName;
  reader.line = 0;
  reader.time = 0;
  reader.hadFrame = false;
  reader.restarted = false;
  reader.step = kDefaultStep;
  reader.frames = 0;

  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    reader.line++;
    if (!ReadLine(&reader, text.substr(start, end - start), &read)) {
      *error = reader.error;
      *scenario = Scenario();
      scenario->fileName = fileName;
      return false;
    }
    if (reader.frames > kMaxFrames) {
      *error = fileName + ":" + std::to_string(reader.line) + ": the scenario makes more than " +
               std::to_string(kMaxFrames) + " frames; use a longer step";
      *scenario = Scenario();
      scenario->fileName = fileName;
      return false;
    }
    start = end + 1;
  }
  if (!ResolveExpectNames(&reader, &read)) {
    *error = reader.error;
    *scenario = Scenario();
    scenario->fileName = fileName;
    return false;
  }
  AddWarnings(&read);
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
