// Rules on the text of each line: keys that do not match, values the reader cuts short, repeats.
#pragma once

#include <vector>

#include "check_report.h"
#include "config_lines.h"

void CheckLineTexts(const std::vector<ConfigLine>& lines, std::vector<Finding>* findings);
