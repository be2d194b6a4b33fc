// Printing a check report: compiler-style lines, the wiring map, or JSON for other tools.
#pragma once

#include <cstdio>

#include "check_report.h"

// "FILE:LINE:COLUMN: warning: message (hint)", one finding per line; a read error as
// "FILE: error: reason".
void PrintFindings(const CheckReport& report, FILE* out);
// Every panel and sound element in use and every key number with its handlers.
void PrintWiring(const CheckReport& report, FILE* out);
// The findings (and with `withWiring` the map) as one JSON object.
void PrintJson(const CheckReport& report, bool withWiring, FILE* out);
