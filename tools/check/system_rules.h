// Rules on the cab systems that run: which run, the beacon types they share, and their own switches.
#pragma once

#include <vector>

#include "check_report.h"
#include "config_lines.h"

// Notes the systems that run with the options as read (gOpts) and the beacon types each acts
// on, and reports a beacon type that reaches several running systems and a running system whose
// own switch keeps it idle.
void CheckRunningSystems(const std::vector<ConfigLine>& lines, CheckReport* report);
