// The scenario reader: turns the text of a scenario into a checked list of host events.
// Every line is checked completely before anything is played; the first fault stops the
// reading with the file, the line and what was expected there.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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
    "spec, config, watch, initialize, frame, run, step, keydown, keyup, key, power, brake, reverser, horn "
    "or beacon";

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
  return Fail(reader, "expected an event (" + std::string(kKeywords) + "), found " + Quote(keyword));
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
  read.frameCount = reader.frames;
  *scenario = read;
  return true;
}

bool ReadScenarioFile(const std::string& path, Scenario* scenario, std::string* error) {
  std::string text;
  if (!ReadWholeFile(path, &text)) {
    *scenario = Scenario();
    *error = path + ": cannot read the scenario file";
    return false;
  }
  return ParseScenario(text, path, scenario, error);
}
