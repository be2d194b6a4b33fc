// What each configuration option takes and who reads it: the key table's kinds, cab systems and effects.
#pragma once

#include "config/confload.h"

// The kind of a value.
enum ValueKind {
  VK_NONE,             // no value of this place is read (further values only)
  VK_KEY,              // a host key number; -1 matches no key
  VK_PANEL,            // a panel element 0..255; -1 leaves it unwired
  VK_SOUND,            // a sound element 0..255; -1 leaves it unwired
  VK_MS,               // a time in milliseconds
  VK_SECONDS,          // a time in seconds
  VK_SPEED,            // a speed in km/h
  VK_DISTANCE,         // a distance in metres
  VK_MODE,             // a switch or mode: 0 off, other values as the reader says
  VK_SWITCH,           // a run switch: 0 off, any other value on
  VK_NUMBER,           // any other quantity
  VK_PANEL_KEY_PAIRS,  // further values: panel element, key number, panel element, ... in turn
};

// The cab systems that read options.
enum CabSystem {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) SYS_##id,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
  CAB_SYSTEM_COUNT
};

// Whether an option acts in the plug-in.
enum OptionEffect {
  EFFECT_ACTS,     // read by an operation that the host's calls reach
  EFFECT_PARTLY,   // its system is built but runs only in part (see kCabSystemActs)
  EFFECT_NOT_RUN,  // read only by operations that no call of the host reaches
  EFFECT_UNREAD,   // accepted, read by no operation
};

// The values of a time or speed option that a builder plausibly means, in the option's own
// unit (ms, s or km/h); a value outside them was probably written in another unit.
struct PlausibleRange {
  int32_t low;    // lowest plausible value
  int32_t high;   // highest plausible value
  bool given;     // the option has such a range
  bool zeroOff;   // 0 is plausible as well: it switches the option's function off
};

extern const ValueKind kOptionKind[OPTION_COUNT];          // kind of the first value
extern const ValueKind kOptionFurtherKind[OPTION_COUNT];   // kind of the further values
extern const CabSystem kOptionSystem[OPTION_COUNT];        // the system that reads the option
extern const OptionEffect kOptionEffect[OPTION_COUNT];     // whether the option acts
extern const PlausibleRange kOptionPlausible[OPTION_COUNT];  // its time or speed values a builder means

extern const char* const kCabSystemName[CAB_SYSTEM_COUNT];  // for people: "vigilance device"
extern const bool kCabSystemRuns[CAB_SYSTEM_COUNT];         // run by the frame cycle by default
extern const int kCabSystemSwitch[CAB_SYSTEM_COUNT];        // the option that runs it, or -1
extern const bool kCabSystemKeysWhenOff[CAB_SYSTEM_COUNT];  // its keys answer while it does not run
extern const char* const kCabSystemActs[CAB_SYSTEM_COUNT];  // what of it acts while it does not run

// Whether a cab system runs with the configuration as read into gOpts: its run switch (0 off, any
// other value on), or for a system without one, kCabSystemRuns. The entry points and every
// decision of the tools about what a system does go through it.
bool SystemRuns(CabSystem system);
// Whether an option acts with the configuration as read: a run switch always acts; an option of
// a system that runs acts, unless no operation reads it; of a system switched off that runs by
// default, none acts; otherwise as the key table says.
OptionEffect EffectOf(OptionId option);

// True for kinds that name an element of the panel or sound array.
inline bool IsElementKind(ValueKind kind) { return kind == VK_PANEL || kind == VK_SOUND; }
