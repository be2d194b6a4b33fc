// Prints the configuration key table of the plug-in as a Markdown table: every key in the order
// in which the configuration reader tries them, its built-in first value, what it sets and
// whether it acts in the plug-in, as the checker decides it.
#include <cstdio>
#include <string>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "markdown_cell.h"

// What EffectOf, which the checker asks as well, says of an option with its system's run switch
// set to `value`.
static OptionEffect EffectWithSwitch(int option, int runSwitch, int32_t value) {
  SetDefaults();
  if (runSwitch >= 0) gOpts[runSwitch].value = value;
  const OptionEffect effect = EffectOf(static_cast<OptionId>(option));
  SetDefaults();
  return effect;
}

// "yes", "yes, while runubahn=1", "partly (wipers and rain); whole with runwipers=1",
// "with runvigilance=1 (vigilance device)", "no: never read".
static std::string Acts(int option) {
  const CabSystem cabSystem = kOptionSystem[option];
  const char* system = kCabSystemName[cabSystem];
  const int runSwitch = kCabSystemSwitch[cabSystem];
  const std::string runs = runSwitch < 0 ? std::string() : std::string("`") + kOptionKeys[runSwitch] + "1`";
  const OptionEffect off = EffectWithSwitch(option, runSwitch, 0);
  const OptionEffect on = EffectWithSwitch(option, runSwitch, 1);
  if (on == EFFECT_UNREAD) return "no: never read";
  if (off == EFFECT_ACTS) return "yes";
  if (off == EFFECT_PARTLY) return std::string("partly (") + system + "); whole with " + runs;
  return kCabSystemRuns[cabSystem] ? "yes, while " + runs : "with " + runs + " (" + system + ")";
}

int main() {
  puts("| # | Key | Default | Meaning | Acts |");
  puts("|---:|---|---:|---|---|");
  for (int i = 0; i < OPTION_COUNT; i++) {
    printf("| %d | `", i);
    PrintCell(kOptionKeys[i]);
    printf("` | %d | ", static_cast<int>(kOptionDefaults[i]));
    PrintCell(kOptionMeanings[i] != nullptr ? kOptionMeanings[i] : "");
    fputs(" | ", stdout);
    PrintCell(Acts(i).c_str());
    puts(" |");
  }
  return 0;
}
