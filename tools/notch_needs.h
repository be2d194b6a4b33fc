// What the notch demands of the cab systems need of the vehicle's notch counts: the one table that
// velmora-play's and velmora-check's notch warnings read.
#pragma once

#include <cstdint>

#include "config/option_kinds.h"

// The notch a demand takes, as the handle arbitration counts it; indexes kNotchKinds.
enum NotchTaken {
  NOTCH_EMERGENCY,    // the emergency brake notch, the vehicle's brake notches + 1
  NOTCH_TOP_SERVICE,  // the highest service brake notch, the vehicle's brake notch count
  NOTCH_TOP_POWER,    // the highest power notch, the vehicle's power notch count
};

// What such a notch needs of the vehicle.
struct NotchKind {
  bool brake;        // a brake notch; otherwise a power notch
  int fewest;        // the fewest notches of its kind with which the demand still acts
  const char* lost;  // what the demand gives on a vehicle with fewer, for people
};

// The emergency notch is there from 0 brake notches, for the arbitration has a brake table of
// brake notches + 2 entries; a negative count describes no vehicle and gets no table. A top
// notch of 0 is the released brake, or no power.
const NotchKind kNotchKinds[] = {
    {true, 0,
     "its brake takes the emergency notch, brake notches + 1, and a vehicle with a negative count has no brake "
     "notches at all: the brake is lost"},
    {true, 1,
     "its brake takes the highest service notch, the vehicle's count, so on a vehicle without service notches it "
     "does not brake"},
    {false, 1,
     "power takes no notch above the vehicle's count, so on a vehicle without power notches neither the driver's "
     "power handle nor any system takes power: the train never moves"},
};

const int32_t kAnyButZero = INT32_MIN;  // NotchNeed::onValue: every value of the setting but 0

// A demand that a cab system places on a notch the vehicle may lack.
struct NotchNeed {
  CabSystem system;    // the system that places it; only while it runs
  const char* who;     // what places it, for people; null: the system itself
  int setting;         // the option that makes the system place it, or -1: always while it runs
  int32_t onValue;     // the setting's value that does, or kAnyButZero
  NotchTaken taken;    // the notch it takes
};

// Each row once, in the order the tools report them. neutralrvrbrake's values other than 0 and 1
// brake with the emergency notch as the protection systems do; the player does not read the
// setting, and --notches takes no negative count, so no tool would find that row wanting.
const NotchNeed kNotchNeeds[] = {
    {SYS_SHELL, "driver's power handle", -1, 0, NOTCH_TOP_POWER},
    {SYS_SHELL, "neutral reverser brake (neutralrvrbrake=1)", OPT_neutralrvrbrake, 1, NOTCH_TOP_SERVICE},
    {SYS_AWS_TPWS, nullptr, OPT_system, kAnyButZero, NOTCH_EMERGENCY},
    {SYS_VIGILANCE, nullptr, OPT_vigilance, kAnyButZero, NOTCH_EMERGENCY},
    {SYS_PZB90, nullptr, OPT_pzb90, 1, NOTCH_EMERGENCY},
    {SYS_OVERSPEED, nullptr, OPT_overspeedcontrol, kAnyButZero, NOTCH_TOP_SERVICE},
};
