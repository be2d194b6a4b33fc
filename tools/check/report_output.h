// Printing a check report: compiler-style lines, the wiring map, or JSON for other tools.
#pragma once

#include <cstdio>

#include "check_report.h"

// Why the file could not be read, as "FILE: error: reason"; nothing when it was read.
void PrintReadError(const CheckReport& report, FILE* out);
// "FILE:LINE:COLUMN: warning: message (hint)", one finding per line, the first hundred, with
// the count of the others; the file's bytes are escaped where a terminal would act on them.
void PrintFindings(const CheckReport& report, FILE* out);
// Every panel and sound element in use and every key number with its handlers.
void PrintWiring(const CheckReport& report, FILE* out);
// The findings (and with `withWiring` the map) as one JSON object.
void PrintJson(const CheckReport& report, bool withWiring, FILE* out);
