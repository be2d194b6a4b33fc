// Which cab systems a scenario's initialize lines start, read from the configuration text the
// player writes, and the warnings about vehicle notches that those systems' demands cannot use.
#include <algorithm>
#include <string>
#include <vector>

#include "config/fixed_wiring.h"
#include "config/option_kinds.h"
#include "harness/harness.h"
#include "notch_needs.h"

namespace {

// An option of the key table, as much of it as tells whether it is a run switch and what it runs.
struct OptionRow {
  const char* key;      // "runubahn=", as the configuration file writes it
  int32_t byDefault;    // its first value without a line for it
  bool isSwitch;        // the option is a run switch
  CabSystem system;     // the system that reads it; for a run switch, the system it runs
};

const OptionRow kOptions[] = {
// Only the first six places are read here, whatever follows them.
#define OPTION(name, key, def, kind, further, system, ...) {key, def, VK_##kind == VK_SWITCH, SYS_##system},
#include "config/options.def"
#undef OPTION
};

const char* const kSystemNames[] = {
#define CAB_SYSTEM(id, name, ...) name,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};

// How a running system's brake fares on a vehicle never given (0 notches), indexed by the brake
// notch it takes.
struct UnspecifiedBrake {
  const char* brake;  // its brake's kind, as the warning names it
  const char* gives;  // what its brake gives
};

const UnspecifiedBrake kUnspecifiedBrakes[] = {
    {"emergency brake", "gives notch 1, the emergency notch of a vehicle without brake notches"},
    {"service brake", "gives notch 0: it does not brake"},
};

// The notch needs that the player judges: the brake demands of the systems that run switches
// start. Whether a system's own settings place them is not read (runs[] never holds the shell).
bool Judged(const NotchNeed& need, const std::vector<bool>& runs) {
  return runs[need.system] && kNotchKinds[need.taken].brake;
}

}  // namespace

// A run switch is read as the plug-in reads it: the last line that starts with its key decides
// by its first value ("-" anywhere makes it negative, the digits end at the first other
// character, no digits read 0); any value other than 0 runs the system, and without such a line
// its default decides.
std::vector<bool> CabSystemsRunningWith(const std::string& configText) {
  std::vector<bool> runs(CAB_SYSTEM_COUNT, false);
  for (const OptionRow& option : kOptions) {
    if (!option.isSwitch) continue;
    const std::string key = option.key;
    bool on = option.byDefault != 0;
    size_t start = 0;
    while (start < configText.size()) {
      size_t end = configText.find('\n', start);
      if (end == std::string::npos) end = configText.size();
      if (configText.compare(start, key.size(), key) == 0) {
        bool nonZeroDigit = false;
        for (size_t i = start + key.size(); i < end; i++) {
          const char c = configText[i];
          if (c >= '1' && c <= '9') nonZeroDigit = true;
          if (c != '-' && (c < '0' || c > '9')) break;
        }
        on = nonZeroDigit;
      }
      start = end + 1;
    }
    runs[option.system] = on;
  }
  return runs;
}

namespace {

std::string Warning(const Scenario& scenario, int line, const std::string& message) {
  return scenario.fileName + ":" + std::to_string(line) + ": warning: " + message;
}

// "a", "a, b", "a, b, c"
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); i++) text += (i > 0 ? ", " : "") + names[i];
  return text;
}

// The warning for an initialize with no vehicle before it, naming what the running systems lose.
std::string NoVehicleWarning(const std::vector<bool>& runs) {
  std::string text =
      "initialize without a spec line before it: the vehicle has 0 brake and 0 power notches, so the power handle "
      "gives no power and no brake goes above notch 1";
  for (const NotchNeed& need : kNotchNeeds) {
    if (!Judged(need, runs)) continue;
    std::vector<std::string> sharing;  // the running systems whose brake fares alike, named together
    bool first = true;
    for (const NotchNeed& other : kNotchNeeds) {
      if (!Judged(other, runs) || other.taken != need.taken) continue;
      if (&other < &need) first = false;
      sharing.push_back(kSystemNames[other.system]);
    }
    const UnspecifiedBrake& brake = kUnspecifiedBrakes[need.taken];
    if (first) text += std::string("; the ") + brake.brake + " (" + Listed(sharing) + ") " + brake.gives;
  }
  if (runs[SYS_UBAHN]) {
    text += "; every brake and power demand of the U-Bahn cab is lost (it drives brake notches up to " +
            std::to_string(kUBahnBrakeNotchesUsed) + " and power notches up to " +
            std::to_string(kUBahnPowerNotchesUsed) + ")";
  }
  return text + "; give the vehicle first, e.g. spec " + std::to_string(kUBahnBrakeNotchesUsed) + " " +
         std::to_string(kUBahnPowerNotchesUsed) + " 1 6 4";
}

// The warnings about a vehicle's notches against the demands of the systems that run.
void WarnOfVehicle(Scenario* scenario, const ScenarioEvent& vehicle, const std::vector<bool>& runs) {
  const ATS_VEHICLESPEC& spec = vehicle.spec;
  if (runs[SYS_UBAHN] && spec.BrakeNotches < kUBahnBrakeNotchesUsed) {
    scenario->warnings.push_back(Warning(
        *scenario, vehicle.line,
        "the vehicle has " + std::to_string(spec.BrakeNotches) + " brake notches, fewer than the " +
            std::to_string(kUBahnBrakeNotchesUsed) + " the U-Bahn cab drives: its brake demands above notch " +
            std::to_string(std::max(spec.BrakeNotches, 0)) +
            " are lost (the standing brake, a vented brake pipe and the higher brake controller positions give less "
            "brake or none)"));
  }
  if (runs[SYS_UBAHN] && spec.PowerNotches < kUBahnPowerNotchesUsed) {
    scenario->warnings.push_back(Warning(
        *scenario, vehicle.line,
        "the vehicle has " + std::to_string(spec.PowerNotches) + " power notches, fewer than the " +
            std::to_string(kUBahnPowerNotchesUsed) +
            " the U-Bahn cab drives: master controller positions that ask for a power notch above " +
            std::to_string(std::max(spec.PowerNotches, 0)) + " give power 0"));
  }
  for (const NotchNeed& need : kNotchNeeds) {
    const NotchKind& kind = kNotchKinds[need.taken];
    if (!Judged(need, runs) || spec.BrakeNotches >= kind.fewest) continue;
    scenario->warnings.push_back(Warning(*scenario, vehicle.line,
                                         "the vehicle has " + std::to_string(spec.BrakeNotches) +
                                             " brake notches, fewer than the " + std::to_string(kind.fewest) + " " +
                                             kSystemNames[need.system] + " needs: " + kind.lost));
  }
}

}  // namespace

// The vehicle's notches against the demands of the systems that run: the handle arbitration
// ignores a notch above the vehicle's top notch (the emergency notch, brake notches + 1, aside),
// so every demand above it is lost. A vehicle that is never given (no spec line before
// initialize) has 0 notches. Judged at each initialize (base configuration and the config lines
// before it) for the vehicle given last; each warning is said once.
void WarnOfTooFewNotches(Scenario* scenario, const std::string& baseConfig) {
  std::string config = baseConfig + "\n";
  const ScenarioEvent* vehicle = nullptr;  // the vehicle line given last
  bool warnedOfNoVehicle = false;
  Scenario judged;  // the warnings found, before they join the scenario's own
  judged.fileName = scenario->fileName;
  for (const ScenarioEvent& event : scenario->events) {
    if (event.kind == kEventConfig) config += event.text + "\n";
    if (event.kind == kEventSpec) vehicle = &event;
    if (event.kind != kEventInitialize) continue;
    const std::vector<bool> runs = CabSystemsRunningWith(config);
    if (vehicle != nullptr) {
      WarnOfVehicle(&judged, *vehicle, runs);
    } else if (!warnedOfNoVehicle) {
      judged.warnings.push_back(Warning(judged, event.line, NoVehicleWarning(runs)));
      warnedOfNoVehicle = true;
    }
  }
  for (const std::string& warning : judged.warnings) {
    std::vector<std::string>& warnings = scenario->warnings;
    if (std::find(warnings.begin(), warnings.end(), warning) == warnings.end()) warnings.push_back(warning);
  }
}

bool UBahnCabRuns(const Scenario& scenario, const std::string& baseConfig) {
  std::string config = baseConfig + "\n";
  for (const ScenarioEvent& event : scenario.events) {
    if (event.kind == kEventConfig) config += event.text + "\n";
    if (event.kind == kEventInitialize && CabSystemsRunningWith(config)[SYS_UBAHN]) return true;
  }
  return false;
}
