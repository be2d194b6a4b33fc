// Rules on the values themselves: times and speeds in the wrong unit, speeds that contradict each
// other, and values that switch an option off or say something other than the builder meant.
#include "value_rules.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "traction/traction.h"

namespace {

const int64_t kMsPerSecond = 1000;
const int32_t kUnwired = -1;
const int32_t kWarningAtAnySpeed = -1;  // warningspeed's default: the warning at any speed above safespeed
const int32_t kEndSoundSwitch = 1;      // the further value of wipersound as documented

std::string Quoted(const std::string& text) { return "'" + text + "'"; }
std::string Key(int option) { return Quoted(kOptionKeys[option]); }

bool IsUnitKind(ValueKind kind) { return kind == VK_MS || kind == VK_SECONDS || kind == VK_SPEED; }

const char* UnitOf(ValueKind kind) {
  if (kind == VK_MS) return "ms";
  if (kind == VK_SECONDS) return "s";
  return "km/h";
}

const char* UnitName(ValueKind kind) {
  if (kind == VK_MS) return "milliseconds";
  if (kind == VK_SECONDS) return "seconds";
  return "km/h";
}

// Which value of the line a message is about: "" for the first, "the second value of ", ...
std::string WhichValue(int index) {
  static const char* const kOrdinals[] = {"second", "third", "fourth", "fifth"};
  if (index == 0) return "";
  if (index <= 4) return std::string("the ") + kOrdinals[index - 1] + " value of ";
  return "value " + std::to_string(index + 1) + " of ";
}

// Column of value `index` on the line: after the key and `index` commas.
int ValueColumn(const ConfigLine& line, int index) {
  const std::string text = ReadText(line);
  size_t at = std::string(kOptionKeys[line.option]).size();
  for (int commas = 0; commas < index && at < text.size(); at++) {
    if (text[at] == ',') commas++;
  }
  return line.column + line.start + static_cast<int>(at);
}

bool Plausible(const PlausibleRange& range, int64_t value) {
  return (range.zeroOff && value == 0) || (value >= range.low && value <= range.high);
}

// The value as the builder probably meant it, in the option's unit, when another unit explains it.
std::string OtherUnitHint(ValueKind kind, const PlausibleRange& range, int32_t value) {
  const int64_t asMs = static_cast<int64_t>(value) * kMsPerSecond;
  if (kind == VK_MS && Plausible(range, asMs)) {
    return "for " + std::to_string(value) + " s write " + std::to_string(asMs);
  }
  if (kind == VK_SECONDS && value % kMsPerSecond == 0 && Plausible(range, value / kMsPerSecond)) {
    return "for " + std::to_string(value) + " ms write " + std::to_string(value / kMsPerSecond);
  }
  return std::string("write the value in ") + UnitName(kind);
}

void CheckUnitValue(const ConfigLine& line, ValueKind kind, int index, int32_t value, CheckReport* report) {
  const PlausibleRange& range = kOptionPlausible[line.option];
  if (Plausible(range, value)) return;
  const std::string which = WhichValue(index);
  const std::string unit = UnitOf(kind);
  report->findings.push_back(
      {line.line, ValueColumn(line, index), SEVERITY_WARNING,
       which + Key(line.option) + " reads " + std::to_string(value) + " " + unit + ", outside the plausible " +
           std::to_string(range.low) + " to " + std::to_string(range.high) + " " + unit +
           (range.zeroOff ? " (or 0, off)" : "") + ": this option counts " + UnitName(kind) + " (" +
           kOptionMeanings[line.option] + ")",
       OtherUnitHint(kind, range, value)});
}

// Times and speeds that lie outside their option's plausible range, probably in another unit.
void CheckUnits(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (const ConfigLine& line : lines) {
    if (line.option < 0 || !HoldsWholeKey(line) || !kOptionPlausible[line.option].given) continue;
    if (EffectOf(static_cast<OptionId>(line.option)) == EFFECT_UNREAD) continue;
    const ValueKind first = kOptionKind[line.option];
    const ValueKind further = kOptionFurtherKind[line.option];
    if (IsUnitKind(first)) CheckUnitValue(line, first, 0, line.value, report);
    // An element left unwired makes its further values moot.
    if (!IsUnitKind(further) || (IsElementKind(first) && line.value == kUnwired)) continue;
    for (size_t i = 0; i < line.further.size(); i++) {
      CheckUnitValue(line, further, static_cast<int>(i) + 1, line.further[i], report);
    }
  }
}

// Two speeds of one system that must keep an order: `lower` below `higher` (or equal, unless strict).
struct SpeedOrder {
  CabSystem system;
  OptionId lower;
  OptionId higher;
  bool strict;
  const char* broken;  // what happens in the cab when the order is broken
  const char* fix;
};

const SpeedOrder kSpeedOrders[] = {
    {SYS_OVERSPEED, OPT_warningspeed, OPT_overspeed, false,
     "the brake comes before the warning: at the brake speed the lamp and alarm come on with the "
     "brake, and no warning precedes it",
     "set warningspeed at or below overspeed"},
    {SYS_OVERSPEED, OPT_safespeed, OPT_overspeed, true,
     "the release speed is not below the brake speed: from the brake speed up to the release speed "
     "the brake is released and applied again at every change of the whole speed",
     "set safespeed below overspeed"},
    {SYS_OVERSPEED, OPT_safespeed, OPT_warningspeed, true,
     "the release speed is not below the warning speed: up to the release speed the lamp and "
     "alarm go out in the same step that lights them, so the warning shows only above it",
     "set safespeed below warningspeed"},
};

std::string Setting(OptionId option) { return Quoted(kOptionKeys[option] + std::to_string(Opt(option))); }

void CheckSpeedOrders(const std::vector<ConfigLine>& lines, CheckReport* report) {
  if (!SystemRuns(SYS_OVERSPEED) || Opt(OPT_overspeedcontrol) == 0) return;
  for (const SpeedOrder& order : kSpeedOrders) {
    if (!SystemRuns(order.system)) continue;
    const int line = std::max(SettingLine(lines, order.lower), SettingLine(lines, order.higher));
    if (line == 0) continue;  // the defaults keep their documented meaning
    // A warning at any speed (the default) leaves only safespeed to decide where it shows.
    if (order.higher == OPT_warningspeed && Opt(OPT_warningspeed) == kWarningAtAnySpeed) continue;
    const int32_t low = Opt(order.lower);
    const int32_t high = Opt(order.higher);
    if (order.strict ? low < high : low <= high) continue;
    report->findings.push_back({line, 1, SEVERITY_WARNING,
                                Setting(order.lower) + " and " + Setting(order.higher) + " contradict each other: " +
                                    order.broken,
                                order.fix});
  }
}

// A value of an option that switches it off, or a further value that is missing or means
// something other than the builder probably meant.
struct ValueTrap {
  OptionId option;                         // only while it acts
  bool (*reads)();                         // the system's settings read the option
  bool (*trapped)(const ConfigLine& line);
  std::string (*says)(const ConfigLine& line);
  std::string (*hint)(const ConfigLine& line);
};

bool Diesel() { return Opt(OPT_traction) == kTractionDiesel; }
bool DieselWithGears() { return Diesel() && Opt(OPT_gearratios) > 0; }
bool Steam() { return Opt(OPT_traction) == kTractionSteam; }
bool Anyway() { return true; }

bool FirstNotAbove0(const ConfigLine& line) { return line.value <= 0; }
bool FirstIs0(const ConfigLine& line) { return line.value == 0; }
bool FirstNotAbove0OfSeveral(const ConfigLine& line) { return line.value <= 0 && !line.further.empty(); }
bool WiredWithoutFurther(const ConfigLine& line) { return line.value != kUnwired && line.further.empty(); }
bool FurtherNotTheSwitch(const ConfigLine& line) {
  return line.value != kUnwired && !line.further.empty() && line.further[0] != kEndSoundSwitch;
}

std::string NoFuelUsed(const ConfigLine& line) {
  return "a first value of " + std::to_string(line.value) +
         " switches fuel use off: no fuel is used at any notch, whatever the further values say, and "
         "the tank never runs dry";
}
std::string FuelHint(const ConfigLine&) { return "the first value is the use at notch 0: give it 1 or more"; }

std::string NoGearbox(const ConfigLine& line) {
  return "a first ratio of " + std::to_string(line.value) +
         " means no gearbox: the diesel never reads its gears, engine speed or heating by load";
}
std::string GearboxHint(const ConfigLine&) { return "the first value is the ratio of gear 1: give it 1 or more"; }

std::string NoPowerFromCutoff(const ConfigLine&) {
  return "0 switches the cut-off off: the engine never chooses a direction and never gives power";
}
std::string CutoffHint(const ConfigLine&) { return "give the cut-off percent lost per notch, 8 by default"; }

std::string LoopNeverPlays(const ConfigLine& line) {
  return "without its further value, the delay after a gear change, the gear loop (sound " +
         std::to_string(line.value) + ") never plays";
}
std::string LoopHint(const ConfigLine& line) {
  return "write 'gearloopsound=" + std::to_string(line.value) + ",800' for a delay of 800 ms";
}

std::string EndSoundValue(const ConfigLine& line) {
  const std::string sound = std::to_string(line.value);
  const std::string further = std::to_string(line.further[0]);
  return "the further value " + further + " is no sound and no switch-off: any further value makes sound " +
         sound + " play at each end of the stroke as well, so " + further + " acts like 1";
}
std::string EndSoundHint(const ConfigLine& line) {
  const std::string sound = std::to_string(line.value);
  return "write 'wipersound=" + sound + ",1' for the sound at each end as well, or 'wipersound=" + sound +
         "' for the start of each stroke only";
}

std::string HornLampNeverLit(const ConfigLine&) {
  return "without its second value, the lamp time for horn type 0, the horn lamp never lights";
}
std::string HornLampHint(const ConfigLine& line) {
  return "write 'klaxonindicator=" + std::to_string(line.value) + ",1500' for 1.5 s";
}

const ValueTrap kValueTraps[] = {
    {OPT_fuelconsumption, Diesel, FirstNotAbove0, NoFuelUsed, FuelHint},
    {OPT_gearratios, Diesel, FirstNotAbove0OfSeveral, NoGearbox, GearboxHint},
    {OPT_cutoffdeviation, Steam, FirstIs0, NoPowerFromCutoff, CutoffHint},
    {OPT_gearloopsound, DieselWithGears, WiredWithoutFurther, LoopNeverPlays, LoopHint},
    {OPT_wipersound, Anyway, FurtherNotTheSwitch, EndSoundValue, EndSoundHint},
    {OPT_klaxonindicator, Anyway, WiredWithoutFurther, HornLampNeverLit, HornLampHint},
};

void CheckTraps(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (const ConfigLine& line : lines) {
    if (line.option < 0 || !HoldsWholeKey(line)) continue;
    for (const ValueTrap& trap : kValueTraps) {
      if (trap.option != line.option || !trap.reads() || !trap.trapped(line)) continue;
      const OptionEffect effect = EffectOf(static_cast<OptionId>(line.option));
      if (effect != EFFECT_ACTS && effect != EFFECT_PARTLY) continue;
      report->findings.push_back({line.line, 1, SEVERITY_WARNING, Key(line.option) + ": " + trap.says(line),
                                  trap.hint(line)});
    }
  }
}

}  // namespace

void CheckMeantValues(const std::vector<ConfigLine>& lines, CheckReport* report) {
  CheckUnits(lines, report);
  CheckSpeedOrders(lines, report);
  CheckTraps(lines, report);
}
