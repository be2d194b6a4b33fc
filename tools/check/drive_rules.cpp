// Rules on whether the cab and every running system can be driven: the keys each needs, key
// numbers the host never sends, and the vehicle's notch counts.
#include "drive_rules.h"

#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"
#include "protection/br_safety.h"
#include "traction/traction.h"
#include "notch_needs.h"

namespace {

const size_t kMostNotchDigits = 6;  // a vehicle with a million notches describes no train
const int32_t kSwitchOn = 1;            // the value of vigilanceautorelease that works
const int32_t kPzbOn = 1;               // the one value of pzb90 that lets PZB90 work

// The system's settings make it use a key.
typedef bool (*Condition)();

bool Always() { return true; }
bool KeyUsable(OptionId option) { return Opt(option) >= 0; }  // the host sends no negative key
bool AwsMagnetsRead() { return Opt(OPT_system) == kSystemAwsOnly || Opt(OPT_system) == kSystemAwsAndTpws; }
bool TpwsBrakes() { return Opt(OPT_system) == kSystemAwsAndTpws || Opt(OPT_system) == kSystemTpwsTrainStopOnly; }
bool VigilanceOn() { return Opt(OPT_vigilance) != 0; }
bool OnlyVigilanceKeyResets() { return VigilanceOn() && Opt(OPT_independentvigilance) != 0; }
bool VigilanceBrakeNeedsKey() {
  return VigilanceOn() && Opt(OPT_independentvigilance) == 0 && Opt(OPT_vigilanceautorelease) != kSwitchOn;
}
bool PzbOn() { return Opt(OPT_pzb90) == kPzbOn; }
bool DriveButtonConfigured() { return KeyConfigured(OPT_speedselectorkey); }
// The steam engine or the diesel's gearbox driven by hand: the automatic key is not set.
bool SteamByHand() { return Opt(OPT_traction) == kTractionSteam && !KeyUsable(OPT_automatic); }
bool GearsByHand() {
  return Opt(OPT_traction) == kTractionDiesel && Opt(OPT_gearratios) > 0 && !KeyUsable(OPT_automatic);
}

// A key without which a running system cannot be driven, and what follows in the cab when it can
// never be pressed.
struct NeededKey {
  CabSystem system;   // the system that needs it; only while it runs
  OptionId option;
  Condition needed;   // the system's settings need the key
  Severity severity;  // an error where the train is stranded or a safety function lost
  const char* without;
};

const NeededKey kNeededKeys[] = {
    {SYS_UBAHN, OPT_sifakey, Always, SEVERITY_ERROR,
     "the Sifa cannot be switched off: forced braking begins whenever the master controller leaves "
     "neutral, so the train cannot drive"},
    {SYS_UBAHN, OPT_speedselectorkey, DriveButtonConfigured, SEVERITY_ERROR,
     "a configured drive button is the only way to power (the driver's power handle then gives "
     "none): the train never takes power"},
    {SYS_AWS_TPWS, OPT_awsacknowledgekey, AwsMagnetsRead, SEVERITY_ERROR,
     "no caution can be acknowledged: every caution magnet applies the AWS brake (the emergency "
     "notch) awsdelay after the horn, and only the acknowledge button releases it, so the first "
     "caution strands the train"},
    {SYS_AWS_TPWS, OPT_tpwsresetkey, TpwsBrakes, SEVERITY_ERROR,
     "only the reset key releases a TPWS brake: the first TPWS brake (the emergency notch) is "
     "never released"},
    {SYS_VIGILANCE, OPT_vigilancekey, OnlyVigilanceKeyResets, SEVERITY_ERROR,
     "with independentvigilance on, only the vigilance key resets the device: it brakes (the "
     "emergency notch) one interval after every start of supervision, and only the key releases "
     "the brake (vigilanceautorelease=1: a standstill)"},
    {SYS_VIGILANCE, OPT_vigilancekey, VigilanceBrakeNeedsKey, SEVERITY_ERROR,
     "a vigilance brake (the emergency notch), once applied, is released only by the vigilance "
     "key: it is never released"},
    {SYS_PZB90, OPT_pzb90key, PzbOn, SEVERITY_ERROR,
     "PZB90 can never be switched on or acknowledged: the train may not exceed 45 km/h, every "
     "magnet's window runs out, and the first PZB brake (the emergency notch) is never released"},
    {SYS_WIPERS, OPT_wiperonkey, Always, SEVERITY_WARNING,
     "the wiper can never be switched on: it stays at rest, and the rain stays on the glass"},
    {SYS_TRACTION, OPT_cutoffincreasekey, SteamByHand, SEVERITY_ERROR,
     "the cut-off never leaves mid gear towards forward (nor does the automatic, whose key is not "
     "set): the engine never runs forward"},
    {SYS_TRACTION, OPT_cutoffdecreasekey, SteamByHand, SEVERITY_ERROR,
     "the cut-off never moves back towards reverse (nor does the automatic, whose key is not set): "
     "the engine never runs backward, and once wound forward it never returns to mid gear"},
    {SYS_TRACTION, OPT_injectortogglekey, SteamByHand, SEVERITY_ERROR,
     "the injector never feeds the boiler (nor does the automatic, whose key is not set): once "
     "the water has boiled away, the pressure only falls and the engine loses its power"},
    {SYS_TRACTION, OPT_gearupkey, GearsByHand, SEVERITY_ERROR,
     "the gearbox never leaves neutral (nor does the automatic, whose key is not set): the "
     "power stays at notch 0"},
    {SYS_TRACTION, OPT_geardownkey, GearsByHand, SEVERITY_ERROR,
     "the gearbox never changes down (nor does the automatic, whose key is not set): stopped in "
     "a high gear, the engine gives little or no power to start again"},
};

// The key is needed now: its system runs and its settings need it.
const NeededKey* Needed(int option) {
  for (const NeededKey& key : kNeededKeys) {
    if (key.option == option && SystemRuns(key.system) && key.needed()) return &key;
  }
  return nullptr;
}

// The notch need's system runs and its settings make it place the demand.
bool Placed(const NotchNeed& need) {
  if (!SystemRuns(need.system)) return false;
  if (need.setting < 0) return true;
  const int32_t value = Opt(static_cast<OptionId>(need.setting));
  return need.onValue == kAnyButZero ? value != 0 : value == need.onValue;
}

std::string Key(int option) { return std::string("'") + kOptionKeys[option] + "'"; }

// The line a finding about a needed key names: the one that set the key, or else the one that
// ran its system.
int KeyLine(const std::vector<ConfigLine>& lines, int option, CabSystem system) {
  const int line = SettingLine(lines, option);
  if (line > 0 || kCabSystemSwitch[system] < 0) return line;
  return SettingLine(lines, kCabSystemSwitch[system]);
}

// Keys of the running systems' handlers that are set to a number the host never sends, or that
// a running system needs and are set to -1.
void CheckKeys(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (int i = 0; i < kKeyBindingCount; i++) {
    const int option = kKeyBindings[i].option;
    if (option < 0 || EffectOf(static_cast<OptionId>(option)) == EFFECT_UNREAD ||
        EffectOf(static_cast<OptionId>(option)) == EFFECT_NOT_RUN) {
      continue;
    }
    const int32_t key = Opt(static_cast<OptionId>(option));
    const NeededKey* needed = Needed(option);
    const int line = needed != nullptr ? KeyLine(lines, option, needed->system) : SettingLine(lines, option);
    if (key == kNoKey && needed != nullptr) {
      report->findings.push_back({line, 1, needed->severity, Key(option) + " is -1, but " + needed->without,
                                  "give it a key number of its own"});
    } else if (key < kNoKey && needed != nullptr) {
      report->findings.push_back({line, 1, needed->severity,
                                  "key " + std::to_string(key) + " of " + Key(option) +
                                      " can never be pressed (the host sends no negative key), and " + needed->without,
                                  "give it a key number of its own"});
    } else if (key < kNoKey) {
      report->findings.push_back({line, 1, SEVERITY_WARNING,
                                  "key " + std::to_string(key) + " of " + Key(option) +
                                      " can never be pressed (the host sends no negative key): as with -1, no key reaches its handler (" +
                                      kKeyBindings[i].what + ")",
                                  "write -1 to leave it unwired"});
    }
  }
}

// Notch counts that a running system cannot use.
void CheckSystemNotches(const VehicleNotches& vehicle, CheckReport* report) {
  for (const NotchNeed& need : kNotchNeeds) {
    const NotchKind& kind = kNotchKinds[need.taken];
    const int count = kind.brake ? vehicle.brake : vehicle.power;
    if (count >= kind.fewest || !Placed(need)) continue;
    const char* what = kind.brake ? " brake notches" : " power notches";
    report->findings.push_back({0, 1, SEVERITY_ERROR,
                                "the vehicle has " + std::to_string(count) + what + ", fewer than the " +
                                    std::to_string(kind.fewest) + " the " + (need.who != nullptr ? need.who : kCabSystemName[need.system]) +
                                    " needs: " + kind.lost,
                                "give --notches the counts of the train's own files"});
  }
}

// The notch counts each running system needs; the U-Bahn cab's demands above the vehicle's top
// notch are ignored by the handle arbitration.
void CheckNotches(const VehicleNotches& vehicle, CheckReport* report) {
  if (!vehicle.known) return;
  CheckSystemNotches(vehicle, report);
  if (!SystemRuns(SYS_UBAHN)) return;
  if (vehicle.brake < kUBahnBrakeNotchesUsed) {
    const std::string top = std::to_string(vehicle.brake);
    report->findings.push_back(
        {0, 1, SEVERITY_ERROR,
         "the vehicle has " + top + " brake notches, fewer than the " + std::to_string(kUBahnBrakeNotchesUsed) +
             " the U-Bahn cab's brake uses: its brake demands above notch " + top +
             " are ignored, so the holding brake at a standstill and a fully vented brake pipe give brake 0",
         "give the vehicle " + std::to_string(kUBahnBrakeNotchesUsed) + " brake notches or more"});
  }
  // The drive button places notch = master controller position + 1; without one, power comes
  // from the driver's handle, which stays within the vehicle's notches.
  if (Opt(OPT_speedselectorkey) >= 0 && vehicle.power < kUBahnPowerNotchesUsed) {
    const int firstLost = vehicle.power;  // the position whose notch is one above the top
    const int lastPosition = kUBahnPowerNotchesUsed - 1;
    const std::string positions = firstLost == lastPosition
                                      ? "position " + std::to_string(lastPosition)
                                      : "positions " + std::to_string(firstLost) + " to " + std::to_string(lastPosition);
    report->findings.push_back(
        {0, 1, SEVERITY_ERROR,
         "the vehicle has " + std::to_string(vehicle.power) + " power notches, fewer than the " +
             std::to_string(kUBahnPowerNotchesUsed) + " the drive button takes (master controller position + 1): in " +
             positions + " its notch is ignored and the power stays where it was, 0 from a standstill",
         "give the vehicle " + std::to_string(kUBahnPowerNotchesUsed) + " power notches or more"});
  }
}

// A whole number from 0 written with digits only.
bool ParseCount(const std::string& text, int* count) {
  if (text.empty() || text.size() > kMostNotchDigits) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *count = value;
  return true;
}

}  // namespace

bool ParseNotches(const std::string& text, VehicleNotches* notches) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  VehicleNotches parsed;
  if (!ParseCount(text.substr(0, comma), &parsed.brake) || !ParseCount(text.substr(comma + 1), &parsed.power)) {
    return false;
  }
  parsed.known = true;
  *notches = parsed;
  return true;
}

void CheckDriving(const std::vector<ConfigLine>& lines, const VehicleNotches& vehicle, CheckReport* report) {
  CheckKeys(lines, report);
  CheckNotches(vehicle, report);
}
