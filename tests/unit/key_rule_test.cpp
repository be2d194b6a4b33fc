// A key option of -1 names no key: a host key number of -1 reaches every key handler and moves
// nothing, whichever device the option belongs to.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cab/handles.h"
#include "plugin/atsplugin.h"
#include "power/powercontrol.h"
#include "protection/br_safety.h"
#include "protection/de_safety.h"
#include "supervision/vigilance.h"
#include "test_files.h"
#include "traction/traction.h"
#include "ubahn/testing.h"
#include "windshield/windshield.h"
#include "supervision/vigilance_record.h"
#include "protection/de_safety_record.h"
#include "protection/br_safety_record.h"
#include "power/powercontrol_record.h"
#include "traction/traction_record.h"
#include "windshield/windshield_record.h"

namespace {

WindshieldRecord& shield = WindshieldForTesting();

TractionRecord& trac = TractionForTesting();

PowerControlRecord& power = PowerControlForTesting();

BRSafetyRecord& aws = BRSafetyState();

DESafetyRecord& pzb = DESafetyForTesting();

VigilanceRecord& vig = VigilanceForTesting();

const char* const kKeyOptions[] = {
    "sifakey", "speedselectorkey", "reminderkey", "wiperonkey", "wiperoffkey", "vigilancekey",
    "awsacknowledgekey", "tpwsresetkey", "tpwsoverridekey", "pzb90key", "cutoffincreasekey",
    "cutoffdecreasekey", "injectortogglekey", "gearupkey", "geardownkey", "automatic"};

// Every device switched on; every key option on a key of its own, the tested one on `key`.
void StartRunWithKey(const std::string& tested, int key, const TempFolder& folder) {
  std::string text =
      "vigilance=1\nindependentvigilance=1\npzb90=1\ntraction=1\ncutoffmax=75\ncutoffmin=-75\n"
      "cutoffchangespeed=0\nwiperdelay=1000\ngearratios=10,20,30\n";
  int own = 80;
  for (const char* option : kKeyOptions) {
    text += std::string(option) + "=" + std::to_string(option == tested ? key : own++) + "\n";
  }
  static std::string cfg;
  cfg = folder.File("Velmora.cfg");
  WriteBytes(cfg, text);
  SetConfigPathOverride(cfg.c_str());
  gState = ATS_VEHICLESTATE{};  // a host that starts standing at time 0, whatever ran before
  Load();
  SetVehicleSpec(ATS_VEHICLESPEC{7, 5, 0, 0, 4});
  Initialize(0);
  SetConfigPathOverride(nullptr);
}

// The host presses `key` at every handler that takes keys.
void PressEverywhere(int key) {
  KeyDown(key);
  VigilanceKeyPressed(key, true);
  DESafetyKeyPressed(key);
  TractionKeyPressed(key);
}

struct KeyCase {
  const char* option;
  std::function<void()> prepare;  // a state in which the device's key would act
  std::function<int64_t()> seen;  // what the key would change
};

TEST(KeyRule, a_key_option_of_minus_one_matches_no_host_key_not_even_minus_one) {
  const KeyCase cases[] = {
      {"sifakey", [] {}, [] { return int64_t{TestCab().master.SifaKey}; }},
      {"speedselectorkey", [] {}, [] { return int64_t{TestCab().control.speedSelectorKey}; }},
      {"reminderkey", [] {}, [] { return int64_t{power.reminder}; }},
      {"wiperonkey", [] { shield.wiperMode = kWiperOff; }, [] { return int64_t{shield.wiperMode}; }},
      {"wiperoffkey", [] { shield.wiperMode = kWiperContinuous; }, [] { return int64_t{shield.wiperMode}; }},
      {"vigilancekey", [] { vig.phase = kVigilanceBraking; }, [] { return int64_t{vig.phase}; }},
      {"awsacknowledgekey", [] { aws.awsPhase = kAwsWarning; }, [] { return int64_t{aws.awsPhase}; }},
      {"tpwsresetkey", [] { aws.tpwsPhase = kTpwsBraking; }, [] { return int64_t{aws.brakeDemand.lit}; }},
      {"tpwsoverridekey", [] { aws.tpwsStartupTest = kStartupTestNone; }, [] { return int64_t{aws.override}; }},
      {"pzb90key", [] { pzb.emergency = true; }, [] { return int64_t{pzb.emergency}; }},
      {"cutoffincreasekey", [] { trac.cutoff = 10; trac.cutoffChangeTimer = 1; gState.Time = 100; },
       [] { return int64_t{trac.cutoff}; }},
      {"cutoffdecreasekey", [] { trac.cutoff = 10; trac.cutoffChangeTimer = 1; gState.Time = 100; },
       [] { return int64_t{trac.cutoff}; }},
      {"injectortogglekey", [] {}, [] { return int64_t{trac.stm_injector}; }},
      {"gearupkey", [] { trac.gear = 1; }, [] { return int64_t{trac.gear}; }},
      {"geardownkey", [] { trac.gear = 1; }, [] { return int64_t{trac.gear}; }},
      {"automatic", [] {}, [] { return int64_t{trac.automatic}; }},
  };
  for (const KeyCase& c : cases) {
    TempFolder folder;
    // The same device answers its key when the option names one: the case can see an effect.
    StartRunWithKey(c.option, 77, folder);
    c.prepare();
    int64_t before = c.seen();
    PressEverywhere(77);
    EXPECT_NE(c.seen(), before) << c.option << " on key 77";

    StartRunWithKey(c.option, -1, folder);
    c.prepare();
    before = c.seen();
    PressEverywhere(-1);
    EXPECT_EQ(c.seen(), before) << c.option << " at -1";
  }
}

}  // namespace
