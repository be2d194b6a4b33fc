// Rules on whether the cab can drive: the keys it needs, key numbers the host never sends, and
// the vehicle's notch counts.
#include "drive_rules.h"

#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"

namespace {

const size_t kMostNotchDigits = 6;  // a vehicle with a million notches describes no train

// A key without which the cab cannot drive, and what follows when it can never be pressed.
struct NeededKey {
  OptionId option;
  const char* without;
};

const NeededKey kNeededKeys[] = {
    {OPT_sifakey,
     "the Sifa cannot be switched off: forced braking begins whenever the master controller leaves "
     "neutral, so the train cannot drive"},
    {OPT_speedselectorkey,
     "a configured drive button is the only way to power (the driver's power handle then gives "
     "none): the train never takes power"},
};

// The key is needed now: the Sifa always; the drive button while it is the only way to power,
// which is whenever it is configured at all.
bool NeededNow(OptionId option) {
  if (option == OPT_speedselectorkey) return KeyConfigured(OPT_speedselectorkey);
  return true;
}

const NeededKey* Needed(int option) {
  for (const NeededKey& key : kNeededKeys) {
    if (key.option == option && NeededNow(key.option)) return &key;
  }
  return nullptr;
}

std::string Key(int option) { return std::string("'") + commands[option] + "'"; }

int SettingLine(const std::vector<ConfigLine>& lines, int option) {
  int line = 0;
  for (const ConfigLine& piece : lines) {
    if (piece.option == option) line = piece.line;
  }
  return line;
}

// Keys of the U-Bahn cab's handlers that are set to a number the host never sends, or that the
// cab needs and are set to -1.
void CheckKeys(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (int i = 0; i < kKeyBindingCount; i++) {
    const int option = kKeyBindings[i].option;
    if (option < 0 || EffectOf(static_cast<OptionId>(option)) == EFFECT_UNREAD ||
        EffectOf(static_cast<OptionId>(option)) == EFFECT_NOT_RUN) {
      continue;
    }
    const int32_t key = Opt(static_cast<OptionId>(option));
    const NeededKey* needed = Needed(option);
    const int line = SettingLine(lines, option);
    if (key == kNoKey && needed != nullptr) {
      report->findings.push_back({line, 1, SEVERITY_ERROR, Key(option) + " is -1, but " + needed->without,
                                  "give it a key number of its own"});
    } else if (key < kNoKey && needed != nullptr) {
      report->findings.push_back({line, 1, SEVERITY_ERROR,
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

// The U-Bahn cab's demands above the vehicle's top notch are ignored by the handle arbitration.
void CheckNotches(const VehicleNotches& vehicle, CheckReport* report) {
  if (!vehicle.known || !SystemRuns(SYS_UBAHN)) return;
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
