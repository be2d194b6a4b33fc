// Prints the configuration key table of the plug-in as a Markdown table: every key in the order
// in which the configuration reader tries them, its built-in first value, what it sets and
// whether it acts in the plug-in.
#include <cstdio>
#include <string>

#include "config/confload.h"
#include "config/option_kinds.h"
#include "markdown_cell.h"

// "yes", "partly (wipers and rain)", "no: vigilance device not run", "no: never read".
static std::string Acts(int option) {
  const char* system = kCabSystemName[kOptionSystem[option]];
  switch (kOptionEffect[option]) {
    case EFFECT_ACTS:
      return "yes";
    case EFFECT_PARTLY:
      return std::string("partly (") + system + ")";
    case EFFECT_NOT_RUN:
      return std::string("no: ") + system + " not run";
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
