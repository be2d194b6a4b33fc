// The cab's fixed wiring as tables: key handlers in KeyDown order, fixed sound elements, beacon types.
#pragma once

#include <cstdint>

#include "config/option_kinds.h"

// The beacon types, each by its one name in config/fixed_wiring.def.
#define KEY_FIXED(...)
#define KEY_OPTION(...)
#define KEY_EVERY(...)
#define FIXED_SOUND(...)
#define BEACON(...)
#define BEACON_TYPE(name, number) const int32_t name = number;
#include "config/fixed_wiring.def"
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY
#undef FIXED_SOUND
#undef BEACON
#undef BEACON_TYPE

// The vehicle notches the U-Bahn cab drives: the drive button places power notches 1 to 8
// (master controller position + 1) and the brake controller brake notches up to 8. The handle
// arbitration ignores a notch above the vehicle's own count, so a vehicle with fewer loses
// every demand above its top notch.
const int kUBahnBrakeNotchesUsed = 8;
const int kUBahnPowerNotchesUsed = 8;

// A handler that KeyDown offers every key to, and the key number it acts on.
struct KeyBinding {
  const char* handler;  // the routine's name
  int fixedKey;         // its built-in key number, or -1 when the key comes from an option
  int option;           // the option that holds its key number, or -1 for a built-in key
  const char* what;     // what the key does, for people
  CabSystem system;     // the cab system whose handler it is
};

// A sound element that a cab system plays without configuration.
struct FixedSound {
  int element;
  CabSystem system;
  const char* what;
};

// A beacon type: what its fields mean and what it does.
struct BeaconType {
  int type;
  CabSystem system;      // the system that acts on it
  const char* signal;    // meaning of the Signal field
  const char* distance;  // meaning of the Distance field
  const char* optional;  // meaning of the Optional field
  const char* action;
};

extern const KeyBinding kKeyBindings[];  // in the order in which KeyDown offers a key; a system's together
extern const int kKeyBindingCount;
extern const FixedSound kFixedSounds[];  // by element
extern const int kFixedSoundCount;
extern const BeaconType kBeaconTypes[];  // the cab's own first
extern const int kBeaconTypeCount;
