// Rules on the values themselves: times and speeds in the wrong unit, speeds that contradict each
// other, and values that switch an option off or say something other than the builder meant.
#pragma once

#include <vector>

#include "check_report.h"
#include "config_lines.h"

// Adds the findings about the values the file sets, with the options as read (gOpts).
void CheckMeantValues(const std::vector<ConfigLine>& lines, CheckReport* report);
