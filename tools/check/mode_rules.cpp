// Rules on the modes that the cab systems are set to: options the chosen mode never reads.
#include "mode_rules.h"

#include <string>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "protection/br_safety.h"
#include "traction/traction.h"

namespace {

const int kMostUnread = 24;              // options in one row of the table
const int32_t kUnwired = -1;             // an element or key that wires nothing
const int32_t kStartupTestWithTpws = 2;  // startuptest: the AWS horn and TPWS lamp test
const int32_t kHeatingByNotch = 1;       // heatingpart values
const int32_t kHeatingByLoad = 2;
const int32_t kGapsIgnored = 0;          // powergapbehaviour
const int32_t kTravelMeterOff = -1;      // travelmetermode

int32_t AwsMode() { return Opt(OPT_system); }
bool StartupTestArmed() { return Opt(OPT_startuptest) >= 1; }

bool TpwsOnly() { return AwsMode() == kSystemTpwsTrainStopOnly; }
bool TpwsOnlyWithoutTest() { return TpwsOnly() && !StartupTestArmed(); }
bool AwsOnly() { return AwsMode() == kSystemAwsOnly; }
bool AwsOnlyWithoutLampTest() { return AwsOnly() && Opt(OPT_startuptest) != kStartupTestWithTpws; }
bool NoAwsMode() { return AwsMode() < kSystemOff || AwsMode() > kSystemTpwsTrainStopOnly; }
bool SteamModel() { return Opt(OPT_traction) == kTractionSteam; }
bool DieselModel() { return Opt(OPT_traction) == kTractionDiesel; }
bool NoSteamModel() { return !SteamModel(); }
bool NoDieselModel() { return !DieselModel(); }
bool NoHeating() { return Opt(OPT_heatingpart) != kHeatingByNotch && Opt(OPT_heatingpart) != kHeatingByLoad; }
bool LoadHeatingWithoutGears() {
  return Opt(OPT_heatingpart) == kHeatingByLoad && !(DieselModel() && Opt(OPT_gearratios) > 0);
}
bool GapsIgnored() { return Opt(OPT_powergapbehaviour) == kGapsIgnored; }
bool TravelMeterOff() { return Opt(OPT_travelmetermode) == kTravelMeterOff; }
bool NoIntermittentPause() { return Opt(OPT_wiperdelay) == 0; }

// Options that a running system never reads in the mode its settings choose.
struct ModeUnread {
  CabSystem system;
  OptionId mode;            // the option that chooses the mode
  bool (*applies)();        // the settings choose such a mode
  const char* why;          // what the mode reads instead
  const char* fix;
  OptionId options[kMostUnread];  // ended by OPTION_COUNT
};

#define STEAM_OPTIONS                                                                                   \
  OPT_cutoffmax, OPT_cutoffmin, OPT_cutoffineffective, OPT_cutoffratiobase, OPT_cutoffratio,             \
      OPT_cutoffdeviation, OPT_cutoffincreasekey, OPT_cutoffdecreasekey, OPT_cutoffchangespeed,          \
      OPT_cutoffindicator, OPT_regulatorpressureuse, OPT_boilermaxpressure, OPT_boilerminpressure,       \
      OPT_boilerblowoffpressure, OPT_boilerpressureindicator, OPT_boilermaxwaterlevel,                   \
      OPT_boilerwatertosteamrate, OPT_boilerwaterlevelindicator, OPT_injectorrate, OPT_injectorindicator, \
      OPT_injectortogglekey
#define DIESEL_OPTIONS                                                                                  \
  OPT_gearratios, OPT_gearfadeinrange, OPT_gearfadeoutrange, OPT_gearindicator, OPT_gearupkey,           \
      OPT_geardownkey, OPT_gearchangesound, OPT_tachometer, OPT_gearloopsound, OPT_fuelconsumption
#define HEATING_OPTIONS                                                                                 \
  OPT_heatingrate, OPT_overheatwarn, OPT_overheat, OPT_overheatresult, OPT_thermometer,                  \
      OPT_overheatindicator, OPT_overheatalarm

const ModeUnread kModeUnread[] = {
    {SYS_AWS_TPWS, OPT_system, TpwsOnly, "only the TPWS train-stop sensor (beacon 44003) is read, no AWS magnet",
     "system=2 reads the AWS magnets and every TPWS sensor",
     {OPT_awsminspeed, OPT_awsdelay, OPT_awsindicatorappear, OPT_awsbrakecancel, OPTION_COUNT}},
    {SYS_AWS_TPWS, OPT_system, TpwsOnlyWithoutTest,
     "only the TPWS train-stop sensor (beacon 44003) is read, no AWS magnet, and no start-up test runs",
     "system=2 reads the AWS magnets and every TPWS sensor",
     {OPT_awsindicator, OPT_awswarningsound, OPT_awsclearsound, OPTION_COUNT}},
    {SYS_AWS_TPWS, OPT_system, AwsOnly, "only the AWS magnets are read: no TPWS sensor ever brakes",
     "system=2 reads the AWS magnets and every TPWS sensor",
     {OPT_tpwswarningsound, OPT_tpwsresetkey, OPT_tpwsstopdelay, OPT_tpwsbrakecancel, OPTION_COUNT}},
    {SYS_AWS_TPWS, OPT_system, AwsOnlyWithoutLampTest,
     "only the AWS magnets are read, and no lamp test (startuptest=2) lights the brake-demand lamp",
     "system=2 reads the AWS magnets and every TPWS sensor",
     {OPT_tpwsindicator, OPTION_COUNT}},
    {SYS_AWS_TPWS, OPT_system, NoAwsMode, "it is no mode: no AWS magnet and no TPWS sensor is read",
     "system= takes 1 (AWS only), 2 (AWS and TPWS) or 3 (TPWS train-stop protection only)",
     {OPT_awsminspeed, OPT_awsdelay, OPT_awsindicatorappear, OPT_awsbrakecancel, OPT_tpwswarningsound,
      OPT_tpwsresetkey, OPT_tpwsstopdelay, OPT_tpwsbrakecancel, OPTION_COUNT}},
    {SYS_TRACTION, OPT_traction, NoSteamModel, "the steam model does not run", "traction=1 runs the steam model",
     {STEAM_OPTIONS, OPTION_COUNT}},
    {SYS_TRACTION, OPT_traction, NoDieselModel, "the diesel model does not run", "traction=2 runs the diesel model",
     {DIESEL_OPTIONS, OPTION_COUNT}},
    {SYS_TRACTION, OPT_heatingpart, NoHeating, "the engine is neither heated nor cooled",
     "heatingpart=1 heats by power notch, 2 by engine load (diesel with gears)", {HEATING_OPTIONS, OPTION_COUNT}},
    {SYS_TRACTION, OPT_heatingpart, LoadHeatingWithoutGears,
     "heating by engine load works only in the diesel with gears (traction=2, gearratios above 0)",
     "heatingpart=1 heats by power notch in any traction model", {HEATING_OPTIONS, OPTION_COUNT}},
    {SYS_POWER, OPT_powergapbehaviour, GapsIgnored, "power gaps are ignored",
     "powergapbehaviour=1, 2 or 3 tracks the pick-up points in gaps", {OPT_powerpickuppoints, OPTION_COUNT}},
    {SYS_MISC, OPT_travelmetermode, TravelMeterOff, "the travel meter is off",
     "travelmetermode=0 counts kilometres, 1 miles",
     {OPT_travelmeter10, OPT_travelmeter1, OPT_travelmeter01, OPT_travelmeter001, OPTION_COUNT}},
    {SYS_WIPERS, OPT_wiperdelay, NoIntermittentPause,
     "the wiper switch has no intermittent position, and only that position lights its lamp",
     "wiperdelay=3000 gives an intermittent pause of 3 s", {OPT_wiperindicator, OPTION_COUNT}},
};

#undef STEAM_OPTIONS
#undef DIESEL_OPTIONS
#undef HEATING_OPTIONS

// An element or key set to -1 is switched off on purpose.
bool SwitchedOff(OptionId option) {
  const ValueKind kind = kOptionKind[option];
  return (kind == VK_KEY || IsElementKind(kind)) && Opt(option) == kUnwired;
}

std::string Setting(OptionId option) { return "'" + std::string(kOptionKeys[option]) + std::to_string(Opt(option)) + "'"; }

}  // namespace

void CheckModes(const std::vector<ConfigLine>& lines, CheckReport* report) {
  for (const ModeUnread& row : kModeUnread) {
    if (!SystemRuns(row.system) || !row.applies()) continue;
    const int modeLine = SettingLine(lines, row.mode);
    const std::string where = modeLine > 0 ? " (line " + std::to_string(modeLine) + ")" : " (its default)";
    for (int i = 0; i < kMostUnread && row.options[i] != OPTION_COUNT; i++) {
      const OptionId option = row.options[i];
      const int line = SettingLine(lines, option);
      if (line == 0 || SwitchedOff(option)) continue;
      report->findings.push_back({line, 1, SEVERITY_WARNING,
                                  "'" + std::string(kOptionKeys[option]) + "' has no effect: with " + Setting(row.mode) +
                                      where + " " + row.why,
                                  row.fix});
    }
  }
}
