// Rules on the modes that the cab systems are set to: options the chosen mode never reads.
#pragma once

#include <vector>

#include "check_report.h"
#include "config_lines.h"

// Adds a finding for every option the file sets that the mode of its running system never reads.
void CheckModes(const std::vector<ConfigLine>& lines, CheckReport* report);
