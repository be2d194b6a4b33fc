// Rules on what the configuration wires where: element ranges, shared elements and keys, idle options.
#include "wiring_rules.h"

#include <algorithm>

#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"

namespace {

const int kUnwired = -1;       // element or key value that wires nothing
const int kFirstElement = 0;
const int kLastElement = 255;
const size_t kUsersListed = 3;  // users named in a finding; --wiring lists them all
const char kOwnElementHint[] = "give each option an element of its own, or -1 to leave it unwired";

// The line that set each option last (0: the option keeps its default), whether that line
// held the whole key, and the systems that the file puts to use.
struct Settings {
  std::vector<int> line = std::vector<int>(OPTION_COUNT, 0);
  std::vector<bool> whole = std::vector<bool>(OPTION_COUNT, false);
  std::vector<bool> used = std::vector<bool>(CAB_SYSTEM_COUNT, false);

  // The line of a system's run switch; 0 when the switch keeps its default or there is none.
  int RunLine(CabSystem system) const {
    const int runSwitch = kCabSystemSwitch[system];
    return runSwitch < 0 ? 0 : line[runSwitch];
  }
};

bool SwitchedOff(int option) {
  const ValueKind kind = kOptionKind[option];
  return (kind == VK_KEY || IsElementKind(kind)) && Opt(static_cast<OptionId>(option)) == kUnwired;
}

bool Acts(OptionEffect effect) { return effect == EFFECT_ACTS || effect == EFFECT_PARTLY; }

Settings SettingLines(const std::vector<ConfigLine>& lines) {
  Settings settings;
  for (const ConfigLine& line : lines) {
    if (line.option < 0) continue;
    settings.line[line.option] = line.line;
    settings.whole[line.option] = HoldsWholeKey(line);
  }
  // A system that the frame cycle does not run is put to use by an option of it that acts
  // (an AWS start-up test, a wiper lamp): its keys then show.
  for (int option = 0; option < OPTION_COUNT; option++) {
    if (settings.line[option] == 0 || SwitchedOff(option)) continue;
    if (Acts(EffectOf(static_cast<OptionId>(option)))) settings.used[kOptionSystem[option]] = true;
  }
  return settings;
}

std::string Name(int option) {
  std::string key = kOptionKeys[option];
  key.pop_back();
  return key;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// "'runwipers=1'": the system's run switch with a value.
std::string RunSwitch(CabSystem system, const char* value) {
  return Quoted(std::string(kOptionKeys[kCabSystemSwitch[system]]) + value);
}

bool InRange(int32_t element) { return element >= kFirstElement && element <= kLastElement; }

// Does the option take part in the wiring: it acts, or the builder wired it on purpose and did
// not switch its system off with its run switch.
bool Wires(int option, const Settings& settings) {
  const OptionEffect effect = EffectOf(static_cast<OptionId>(option));
  if (effect == EFFECT_UNREAD) return false;
  if (effect == EFFECT_NOT_RUN) return settings.line[option] > 0 && settings.RunLine(kOptionSystem[option]) == 0;
  return true;
}

// Does a user of an element or key show what it does with this file: fixed wiring and options
// the file sets do; an option left at its default does when its system runs or is put to use.
bool Shows(const WiringUser& user, const Settings& settings) {
  if (user.option < 0 || user.line > 0) return true;
  const CabSystem system = kOptionSystem[user.option];
  return SystemRuns(system) || settings.used[system];
}

// Adds one element value of an option to the map, or reports it when it lies outside 0..255.
void WireElement(ValueKind kind, int32_t element, int option, const Settings& settings, CheckReport* report) {
  if (element == kUnwired) return;
  if (!InRange(element)) {
    report->findings.push_back({settings.line[option], 1, SEVERITY_ERROR,
                                std::string(kind == VK_PANEL ? "panel" : "sound") + " element " +
                                    std::to_string(element) + " of " + Quoted(kOptionKeys[option]) +
                                    " lies outside 0 to 255: it stays unwired",
                                "use 0 to 255, or -1 for no element"});
    return;
  }
  auto& map = kind == VK_PANEL ? report->wiring.panel : report->wiring.sound;
  map[element].push_back({option, settings.line[option], Name(option), "", kOptionSystem[option]});
}

void WireOptionElements(const Settings& settings, CheckReport* report) {
  for (int option = 0; option < OPTION_COUNT; option++) {
    if (!Wires(option, settings)) continue;
    if (IsElementKind(kOptionKind[option])) WireElement(kOptionKind[option], Opt(static_cast<OptionId>(option)), option, settings, report);
    const ValueKind further = kOptionFurtherKind[option];
    int n = 0;
    int32_t value;
    for (; OptFurther(static_cast<OptionId>(option), n, &value); n++) {
      if (IsElementKind(further)) WireElement(further, value, option, settings, report);
      if (further == VK_PANEL_KEY_PAIRS && n % 2 == 0) WireElement(VK_PANEL, value, option, settings, report);
    }
  }
}

// One more element of a block that an option wires from its first element; elements outside
// 0..255 are never written, so they are left out.
void WireBlockElement(ValueKind kind, int64_t element, int option, const std::string& what, const Settings& settings,
                      CheckReport* report) {
  if (element < kFirstElement || element > kLastElement) return;
  auto& map = kind == VK_PANEL ? report->wiring.panel : report->wiring.sound;
  map[static_cast<int>(element)].push_back({option, settings.line[option], Name(option), what, kOptionSystem[option]});
}

// The rain drops take one panel element each from dropstartindex on (numberofdrops of them, at
// most the whole array), and the drop sound's k variants the sound elements from dropsound on.
void WireElementBlocks(const Settings& settings, CheckReport* report) {
  if (Wires(OPT_dropstartindex, settings)) {
    const int64_t first = Opt(OPT_dropstartindex);
    const int64_t drops = std::min<int64_t>(std::max<int64_t>(Opt(OPT_numberofdrops), 0), kLastElement + 1);
    for (int64_t k = 1; k < drops; k++) {
      WireBlockElement(VK_PANEL, first + k, OPT_dropstartindex, "rain drop " + std::to_string(k + 1), settings, report);
    }
  }
  int32_t variants = 0;
  if (Wires(OPT_dropsound, settings) && Opt(OPT_dropsound) != kUnwired && OptFurther(OPT_dropsound, 0, &variants)) {
    const int64_t first = Opt(OPT_dropsound);
    const int64_t last = std::min<int64_t>(first + variants - 1, kLastElement);
    for (int64_t element = first + 1; element <= last; element++) {
      WireBlockElement(VK_SOUND, element, OPT_dropsound, "drop sound variant " + std::to_string(element - first + 1),
                       settings, report);
    }
  }
}

void WireFixedSounds(CheckReport* report) {
  for (int i = 0; i < kFixedSoundCount; i++) {
    const FixedSound& sound = kFixedSounds[i];
    if (!SystemRuns(sound.system)) continue;
    report->wiring.sound[sound.element].push_back({-1, 0, sound.what, "", sound.system});
  }
}

void WireKeys(const Settings& settings, CheckReport* report) {
  for (int i = 0; i < kKeyBindingCount; i++) {
    const KeyBinding& binding = kKeyBindings[i];
    if (binding.option < 0) {
      // KeyDown offers keys to a system that does not run only when its keys answer anyway.
      if (SystemRuns(binding.system) || kCabSystemKeysWhenOff[binding.system]) {
        report->wiring.keys[binding.fixedKey].push_back({-1, 0, binding.what, "", binding.system});
      }
      continue;
    }
    const int option = binding.option;
    if (!Acts(EffectOf(static_cast<OptionId>(option)))) continue;
    const int32_t key = Opt(static_cast<OptionId>(option));
    if (key == kUnwired) continue;
    report->wiring.keys[key].push_back({option, settings.line[option], Name(option), binding.what, binding.system});
  }
}

// The first few users, and how many more the wiring map shows.
std::string List(const std::vector<WiringUser>& users, const char* joiner) {
  std::string text;
  for (size_t i = 0; i < users.size() && i < kUsersListed; i++) text += (i > 0 ? joiner : "") + Describe(users[i]);
  if (users.size() > kUsersListed) text += " (" + std::to_string(users.size() - kUsersListed) + " more with --wiring)";
  return text;
}

// A shared element or key is reported on the last line that took part: one that set an option,
// or the run switch that brought a default or fixed user in; for the file when only defaults and
// fixed wiring of systems running by default meet.
int LastLine(const std::vector<WiringUser>& users, const Settings& settings) {
  int line = 0;
  for (const WiringUser& user : users) line = std::max({line, user.line, settings.RunLine(user.system)});
  return line;
}

// The number of cab systems among the users.
size_t SystemCount(const std::vector<WiringUser>& users) {
  std::vector<bool> seen(CAB_SYSTEM_COUNT, false);
  size_t count = 0;
  for (const WiringUser& user : users) {
    if (!seen[user.system]) count++;
    seen[user.system] = true;
  }
  return count;
}

// An element shared by options, or a fixed sound that an option also plays: the cab's own
// writes override the option's sound, so that is an error.
void CheckSharedElements(const char* what, const std::map<int, std::vector<WiringUser>>& map,
                         const Settings& settings, CheckReport* report) {
  for (const auto& entry : map) {
    const std::vector<WiringUser>& users = entry.second;
    int options = 0;
    int fixed = 0;
    for (const WiringUser& user : users) {
      if (Shows(user, settings)) (user.option < 0 ? fixed : options)++;
    }
    if (options + fixed < 2) continue;
    const std::string element = std::string(what) + " element " + std::to_string(entry.first);
    const size_t systems = SystemCount(users);
    if (options == 0) {
      // The fixed sounds of two running systems: each writes the element in its frame routine.
      if (systems < 2) continue;
      report->findings.push_back({LastLine(users, settings), 1, SEVERITY_WARNING,
                                  element + " is the fixed sound of " + std::to_string(systems) +
                                      " running systems: " + List(users, ", ") +
                                      "; each system's writes override the other's sound",
                                  "run only one of these systems if their sounds must not meet"});
    } else if (fixed > 0) {
      report->findings.push_back({LastLine(users, settings), 1, SEVERITY_ERROR,
                                  element + " is also the cab's fixed sound: " + List(users, ", ") +
                                      "; the cab's own writes override the option's sound",
                                  "give the option an element the cab does not use, or -1 to leave it unwired"});
    } else {
      const std::string of = systems > 1 ? " of " + std::to_string(systems) + " systems" : "";
      report->findings.push_back({LastLine(users, settings), 1, SEVERITY_WARNING,
                                  element + " is wired to " + std::to_string(users.size()) + " options" + of + ": " +
                                      List(users, ", "),
                                  kOwnElementHint});
    }
  }
}

void CheckSharedKeys(const Settings& settings, CheckReport* report) {
  for (const auto& entry : report->wiring.keys) {
    const std::vector<WiringUser>& users = entry.second;
    size_t showing = 0;
    for (const WiringUser& user : users) showing += Shows(user, settings) ? 1 : 0;
    if (showing < 2) continue;
    report->findings.push_back({LastLine(users, settings), 1, SEVERITY_WARNING,
                                "key " + std::to_string(entry.first) + " reaches " + std::to_string(users.size()) +
                                    " handlers, in this order: " + List(users, ", then "),
                                "give each function a key number of its own, or -1 to leave it unwired"});
  }
}

// Options the file sets that do nothing, or only part of what their key promises.
void CheckIdleOptions(const Settings& settings, CheckReport* report) {
  for (int option = 0; option < OPTION_COUNT; option++) {
    const int line = settings.line[option];
    if (line == 0 || !settings.whole[option]) continue;
    if (SwitchedOff(option)) continue;
    const CabSystem system = kOptionSystem[option];
    const std::string key = Quoted(kOptionKeys[option]);
    switch (EffectOf(static_cast<OptionId>(option))) {
      case EFFECT_ACTS:
        break;
      case EFFECT_UNREAD:
        report->findings.push_back({line, 1, SEVERITY_WARNING, key + " has no effect: no operation reads it", ""});
        break;
      case EFFECT_NOT_RUN:
        if (kCabSystemRuns[system]) {
          report->findings.push_back({line, 1, SEVERITY_WARNING,
                                      key + " has no effect: " + RunSwitch(system, "0") + " on line " +
                                          std::to_string(settings.RunLine(system)) + " switches the " +
                                          kCabSystemName[system] + " off",
                                      ""});
        } else {
          report->findings.push_back({line, 1, SEVERITY_WARNING,
                                      key + " has no effect: the " + kCabSystemName[system] +
                                          " is built but not run by the frame cycle (" + kCabSystemActs[system] + ")",
                                      RunSwitch(system, "1") + " runs it"});
        }
        break;
      case EFFECT_PARTLY:
        report->findings.push_back({line, 1, SEVERITY_WARNING,
                                    key + " acts only in part: of the " + kCabSystemName[system] + ", " +
                                        kCabSystemActs[system],
                                    RunSwitch(system, "1") + " runs it whole"});
        break;
    }
  }
}

}  // namespace

std::string Describe(const WiringUser& user) {
  if (user.option < 0) return "fixed: " + user.label;
  std::string text = user.label + (user.line == 0 ? " (default)" : " (line " + std::to_string(user.line) + ")");
  return user.what.empty() ? text : text + ": " + user.what;
}

void CheckWiring(const std::vector<ConfigLine>& lines, CheckReport* report) {
  const Settings settings = SettingLines(lines);
  WireOptionElements(settings, report);
  WireElementBlocks(settings, report);
  WireFixedSounds(report);
  WireKeys(settings, report);
  CheckSharedElements("panel", report->wiring.panel, settings, report);
  CheckSharedElements("sound", report->wiring.sound, settings, report);
  CheckSharedKeys(settings, report);
  CheckIdleOptions(settings, report);
}
