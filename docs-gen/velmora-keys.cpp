// Prints the configuration key table of the plug-in as a Markdown table: every key in the order
// in which the configuration reader tries them, its built-in first value, what it sets and
// whether it acts in the plug-in.
#include <cstdio>
#include <string>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "markdown_cell.h"

// "yes", "yes, while runubahn=1", "partly (wipers and rain); whole with runwipers=1",
// "with runvigilance=1 (vigilance device)", "no: never read".
static std::string Acts(int option) {
  const CabSystem cabSystem = kOptionSystem[option];
  const char* system = kCabSystemName[cabSystem];
  const int runSwitch = kCabSystemSwitch[cabSystem];
  const std::string runs = runSwitch < 0 ? std::string() : std::string("`") + commands[runSwitch] + "1`";
  switch (kOptionEffect[option]) {
    case EFFECT_ACTS:
      if (runSwitch < 0 || runSwitch == option) return "yes";
      return kCabSystemRuns[cabSystem] ? "yes, while " + runs : "yes";
    case EFFECT_PARTLY:
      return std::string("partly (") + system + "); whole with " + runs;
    case EFFECT_NOT_RUN:
      return "with " + runs + " (" + system + ")";
    case EFFECT_UNREAD:
      return "no: never read";
  }
  return "";
}

int main() {
  puts("| # | Key | Default | Meaning | Acts |");
  puts("|---:|---|---:|---|---|");
  for (int i = 0; i < OPTION_COUNT; i++) {
    printf("| %d | `", i);
    PrintCell(commands[i]);
    printf("` | %d | ", static_cast<int>(kOptionDefaults[i]));
    PrintCell(kOptionMeanings[i] != nullptr ? kOptionMeanings[i] : "");
    fputs(" | ", stdout);
    PrintCell(Acts(i).c_str());
    puts(" |");
  }
  return 0;
}
