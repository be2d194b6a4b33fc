// Rules on whether the cab and every running system can be driven: the keys each needs, key
// numbers the host never sends, and the vehicle's notch counts.
#pragma once

#include <string>
#include <vector>

#include "check_report.h"
#include "config_lines.h"

// The vehicle's notch counts, as the train's own files give them; not known unless given.
struct VehicleNotches {
  bool known = false;
  int brake = 0;
  int power = 0;
};

// Reads "BRAKE,POWER", two whole numbers from 0; false when the text is not that.
bool ParseNotches(const std::string& text, VehicleNotches* notches);

// Adds the findings about the keys the running systems need and, when known, the vehicle's notches.
void CheckDriving(const std::vector<ConfigLine>& lines, const VehicleNotches& vehicle, CheckReport* report);
