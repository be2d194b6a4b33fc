// Rules on the cab systems that run: which run, the beacon types they share, and their own switches.
#include "system_rules.h"

#include <algorithm>
#include <map>
#include <string>

#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"
#include "protection/br_safety.h"

namespace {

// The beacon type that the U-Bahn doors and the cab indicators' door lamps read alike, the
// platform side: one beacon serves both, so their meeting on it is no clash.
const int kPlatformSideBeacon = 23;

// A system's own switch, which keeps its meaning inside the system: while it is off, the
// system's frame routine does nothing even though the run switch runs it.
struct OwnSwitch {
  CabSystem system;
  OptionId option;
  bool (*works)(int32_t value);  // the values that let the system work
  const char* values;            // the values that work, for the hint
};

bool NotZero(int32_t value) { return value != 0; }
bool One(int32_t value) { return value == 1; }
bool AwsTpwsMode(int32_t value) { return value >= kSystemAwsOnly && value <= kSystemTpwsTrainStopOnly; }

const OwnSwitch kOwnSwitches[] = {
    {SYS_AWS_TPWS, OPT_system, AwsTpwsMode, "1 (AWS only), 2 (AWS and TPWS) or 3 (TPWS train-stop protection only)"},
    {SYS_VIGILANCE, OPT_vigilance, NotZero, "1"},
    {SYS_OVERSPEED, OPT_overspeedcontrol, NotZero, "1"},
    {SYS_PZB90, OPT_pzb90, One, "1"},
};

bool SwitchedOn(const OwnSwitch& own) { return own.works(Opt(own.option)); }

// The line that set a system's run switch last; 0 when it keeps its default.
int RunLine(const std::vector<ConfigLine>& lines, CabSystem system) {
  int line = 0;
  for (const ConfigLine& piece : lines) {
    if (piece.option >= 0 && piece.option == kCabSystemSwitch[system]) line = piece.line;
  }
  return line;
}

// "44002, 44003 and 44004".
std::string Enumerated(const std::vector<int>& numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size(); i++) {
    if (i > 0) text += i + 1 == numbers.size() ? " and " : ", ";
    text += std::to_string(numbers[i]);
  }
  return text;
}

// Whether a running system acts on a beacon type of its with the options as read: AWS/TPWS acts
// only on the magnets and sensors of its mode.
bool ActsOn(const BeaconType& beacon) {
  if (beacon.system != SYS_AWS_TPWS) return true;
  const int32_t mode = Opt(OPT_system);
  switch (beacon.type) {
    case kBeaconAwsSignalMagnet:
    case kBeaconAwsPermanentMagnet:
      return mode == kSystemAwsOnly || mode == kSystemAwsAndTpws;
    case kBeaconSignalTrainStop:
      return mode == kSystemAwsAndTpws || mode == kSystemTpwsTrainStopOnly;
    default:
      return mode == kSystemAwsAndTpws;
  }
}

// SetBeaconData passes a beacon to every running system that acts on it, the U-Bahn cab first;
// every type that several systems act on is one of the U-Bahn cab's, listed first in the table.
void WireBeacons(CheckReport* report) {
  for (int i = 0; i < kBeaconTypeCount; i++) {
    const BeaconType& beacon = kBeaconTypes[i];
    if (!SystemRuns(beacon.system) || !ActsOn(beacon)) continue;
    report->wiring.beacons[beacon.type].push_back({beacon.system, beacon.action});
  }
}

// Beacon types that reach several running systems, one finding for each group of systems: a
// beacon placed for one of them acts on the others too.
void CheckSharedBeacons(const std::vector<ConfigLine>& lines, CheckReport* report) {
  std::map<std::vector<CabSystem>, std::vector<int>> typesOf;
  for (const auto& entry : report->wiring.beacons) {
    if (entry.second.size() < 2 || entry.first == kPlatformSideBeacon) continue;
    std::vector<CabSystem> systems;
    for (const BeaconUser& user : entry.second) systems.push_back(user.system);
    typesOf[systems].push_back(entry.first);
  }
  for (const auto& group : typesOf) {
    const std::vector<CabSystem>& systems = group.first;
    std::string names;
    std::string switches;
    int line = 0;
    for (size_t i = 0; i < systems.size(); i++) {
      names += std::string(i == 0 ? "the " : ", then the ") + kCabSystemName[systems[i]];
      switches += std::string(i == 0 ? "" : " or ") + "'" + kOptionKeys[kCabSystemSwitch[systems[i]]] + "0'";
      line = std::max(line, RunLine(lines, systems[i]));
    }
    const std::vector<int>& types = group.second;
    const std::string which = std::string(types.size() > 1 ? "beacon types " : "beacon type ") + Enumerated(types);
    const char* others = systems.size() > 2 ? "others" : "other";
    report->findings.push_back({line, 1, SEVERITY_WARNING,
                                which + (types.size() > 1 ? " reach " : " reaches ") + std::to_string(systems.size()) +
                                    " running systems, in this order: " + names + "; a beacon placed for one acts on the " +
                                    others + " as well (--wiring shows what each does)",
                                "run only one of them: " + switches});
  }
}

// A system run by its run switch whose own switch keeps it idle.
void CheckOwnSwitches(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (const OwnSwitch& own : kOwnSwitches) {
    if (!SystemRuns(own.system) || SwitchedOn(own)) continue;
    const OptionId runOption = static_cast<OptionId>(kCabSystemSwitch[own.system]);
    const std::string runSwitch = kOptionKeys[runOption] + std::to_string(Opt(runOption));
    report->findings.push_back({RunLine(lines, own.system), 1, SEVERITY_WARNING,
                                "'" + runSwitch + "' runs the " + kCabSystemName[own.system] +
                                    ", but its own switch '" + kOptionKeys[own.option] + "' is " + std::to_string(Opt(own.option)) +
                                    ": its frame routine does nothing",
                                std::string("set '") + kOptionKeys[own.option] + "' to " + own.values});
  }
}

}  // namespace

void CheckRunningSystems(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (int i = 0; i < CAB_SYSTEM_COUNT; i++) {
    const CabSystem system = static_cast<CabSystem>(i);
    if (kCabSystemSwitch[system] >= 0 && SystemRuns(system)) report->wiring.running.push_back(system);
  }
  WireBeacons(report);
  CheckSharedBeacons(lines, report);
  CheckOwnSwitches(lines, report);
}
