// Writing text into a Markdown table cell.
#pragma once

#include <cstdio>

// A table cell holds no line break and no unescaped column bar.
inline void PrintCell(const char* text) {
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
