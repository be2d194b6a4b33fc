// Rules on what the configuration wires where: element ranges, shared elements and keys, idle options.
#pragma once

#include <string>
#include <vector>

#include "check_report.h"
#include "config_lines.h"

// Builds the wiring map from the options as read (gOpts) and the cab's fixed wiring, and adds
// the findings about it.
// One user as people read it: "sifa (line 4)", "sifasound (default)", "fixed: horn start".
std::string Describe(const WiringUser& user);

void CheckWiring(const std::vector<ConfigLine>& lines, CheckReport* report);
