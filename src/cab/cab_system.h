// The one interface of a cab system: its row of the table of systems that the entry points walk.
#pragma once

#include "cab/host.h"
#include "config/option_kinds.h"

// A driver's control that the host moved, as the systems' hooks hear it.
enum DriverControl {
  kDriverPower,     // the power handle; value: its notch
  kDriverBrake,     // the brake handle; value: its notch
  kDriverReverser,  // the reverser; value: -1 backward, 0 neutral, 1 forward
  kDriverHorn,      // a horn blast; value: the horn type
};

// What a system offers the entry points; a null entry means it has none. A system runs whole
// while its run switch (config/cab_systems.def) is on. One that does not run still starts and
// ends at every Initialize and Dispose, and hears the driver's controls, when startsWhenOff is
// set; the keys of some answer anyway (cab_systems.def).
struct CabSystemRow {
  CabSystem system;
  bool startsWhenOff;                        // it starts at Initialize while it does not run
  void (*start)(int brakeMode);              // the start of a run, with the host's brake mode
  void (*end)();                             // before the next start and at Dispose
  void (*frame)();                           // once every Elapse, after the U-Bahn cab's steps
  void (*keyDown)(int key);                  // a host key pressed
  void (*keyUp)(int key);                    // a host key released
  void (*beacon)(ATS_BEACONDATA beacon);     // a beacon of a type config/fixed_wiring.def gives it
  void (*doors)(bool open);                  // the host's doors opened (true) or closed (false)
  void (*driverMoved)(DriverControl control, int value);  // the driver moved a handle or blew the horn
};
