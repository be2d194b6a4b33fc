// Set-up shared by the supervision tests: a configuration from file lines, fresh arrays and
// the handle arbitration of a vehicle.
#pragma once

#include <string>
#include <vector>

#include "config/confload.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "test_files.h"

// Defaults, then the given lines read as the configuration file would be.
inline void ConfigureLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  LoadConfigText(text);
}

// Fresh reserve arrays (panel 0, sound stopped) and a vehicle standing at time 0.
inline void FreshCab() {
  Load();
  gState = ATS_VEHICLESTATE{};
  gHandles = ATS_HANDLES{};
}

// The demand tables of a vehicle with these notches; brake 0, power 0, neutral demanded.
inline void StartArbitration(int brakeNotches, int powerNotches) {
  gTrainspecs = ATS_VEHICLESPEC{brakeNotches, powerNotches, 0, 0, 4};
  DestroyHandles();
  InitHandles();
}

// Two sets of lines, the second read after the first.
inline std::vector<std::string> Lines(std::vector<std::string> first, const std::vector<std::string>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}
