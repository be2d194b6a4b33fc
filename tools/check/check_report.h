// What a check of a configuration file found: findings with their place, and the wiring map.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/option_kinds.h"

enum Severity { SEVERITY_WARNING, SEVERITY_ERROR };

// One finding; line 0 stands for the file as a whole (a default, not a line, is at fault).
struct Finding {
  int line;
  int column;
  Severity severity;
  std::string message;
  std::string hint;  // empty, or what the builder probably meant
};

// One user of a panel element, sound element or key number.
struct WiringUser {
  int option;         // the option, or -1 for the cab's fixed wiring
  int line;           // the line that set the option; 0 for a default or fixed wiring
  std::string label;  // option name, or what the fixed element or key does
  std::string what;   // for an option bound to a key: what the key does there
  CabSystem system = SYS_NONE;  // the cab system that acts through it
};

// A running system that acts on a beacon type, and what it does with it.
struct BeaconUser {
  CabSystem system;
  std::string what;
};

// Every element, key number and beacon type in use, with its users (keys and beacons: in the
// order they are passed on), and the cab systems that run.
struct Wiring {
  std::map<int, std::vector<WiringUser>> panel;
  std::map<int, std::vector<WiringUser>> sound;
  std::map<int, std::vector<WiringUser>> keys;
  std::map<int, std::vector<BeaconUser>> beacons;
  std::vector<CabSystem> running;
};

struct CheckReport {
  std::string file;
  std::string readError;  // why the file could not be read; empty when it was read
  std::vector<Finding> findings;
  Wiring wiring;
};

const int kExitClean = 0;     // nothing found
const int kExitWarnings = 1;  // warnings only
const int kExitErrors = 2;    // errors, or the file could not be read

int ExitStatus(const CheckReport& report);
