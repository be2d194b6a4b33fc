// The check of a configuration file: every rule, in the order of the file.
#pragma once

#include <string>

#include "check_report.h"
#include "drive_rules.h"

// Reads the file as the plug-in does and applies every rule, with the vehicle's notch counts
// when they are known; findings are sorted by place.
CheckReport CheckConfigFile(const std::string& path, const VehicleNotches& vehicle = VehicleNotches());
