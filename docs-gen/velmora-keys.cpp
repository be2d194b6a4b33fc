// Prints the configuration key table of the plug-in as a Markdown table: every key in the order
// in which the configuration reader tries them, its built-in first value and what it sets.
#include <cstdio>

#include "config/confload.h"

// A table cell holds no line break and no unescaped column bar.
static void PrintCell(const char* text) {
  for (const char* c = text; *c != '\0'; c++) {
    if (*c == '|') {
      fputs("\\|", stdout);
    } else if (*c == '\n' || *c == '\r') {
      fputc(' ', stdout);
    } else {
      fputc(*c, stdout);
    }
  }
}

int main() {
  puts("| # | Key | Default | Meaning |");
  puts("|---:|---|---:|---|");
  for (int i = 0; i < OPTION_COUNT; i++) {
    printf("| %d | `", i);
    PrintCell(commands[i]);
    printf("` | %d | ", static_cast<int>(kOptionDefaults[i]));
    PrintCell(kOptionMeanings[i] != nullptr ? kOptionMeanings[i] : "");
    puts(" |");
  }
  return 0;
}
