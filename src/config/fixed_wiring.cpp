// The cab's fixed wiring tables, taken from config/fixed_wiring.def.
#include "config/fixed_wiring.h"

#define KEY_EVERY(system, routine, what)
#define KEY_FIXED(system, handler, release, number, what) {#handler, number, -1, what, SYS_##system},
#define KEY_OPTION(system, handler, release, option, what) {#handler, -1, OPT_##option, what, SYS_##system},
#define FIXED_SOUND(element, system, what)
#define BEACON(type, system, signal, distance, optional, action)
#define BEACON_TYPE(name, number)
const KeyBinding kKeyBindings[] = {
#include "config/fixed_wiring.def"
};
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY
#undef FIXED_SOUND
#undef BEACON
#undef BEACON_TYPE
const int kKeyBindingCount = sizeof(kKeyBindings) / sizeof(kKeyBindings[0]);

#define KEY_EVERY(system, routine, what)
#define KEY_FIXED(system, handler, release, number, what)
#define KEY_OPTION(system, handler, release, option, what)
#define FIXED_SOUND(element, system, what) {element, SYS_##system, what},
#define BEACON(type, system, signal, distance, optional, action)
#define BEACON_TYPE(name, number)
const FixedSound kFixedSounds[] = {
#include "config/fixed_wiring.def"
};
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY
#undef FIXED_SOUND
#undef BEACON
#undef BEACON_TYPE
const int kFixedSoundCount = sizeof(kFixedSounds) / sizeof(kFixedSounds[0]);

#define KEY_EVERY(system, routine, what)
#define KEY_FIXED(system, handler, release, number, what)
#define KEY_OPTION(system, handler, release, option, what)
#define FIXED_SOUND(element, system, what)
#define BEACON_TYPE(name, number)
#define BEACON(type, system, signal, distance, optional, action) {type, SYS_##system, signal, distance, optional, action},
const BeaconType kBeaconTypes[] = {
#include "config/fixed_wiring.def"
};
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY
#undef FIXED_SOUND
#undef BEACON
#undef BEACON_TYPE
const int kBeaconTypeCount = sizeof(kBeaconTypes) / sizeof(kBeaconTypes[0]);
