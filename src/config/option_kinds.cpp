// The kinds, systems and effects of the options, taken from the key table.
#include "config/option_kinds.h"

const ValueKind kOptionKind[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) VK_##kind,
#include "config/options.def"
#undef OPTION
};

const ValueKind kOptionFurtherKind[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) VK_##further,
#include "config/options.def"
#undef OPTION
};

const CabSystem kOptionSystem[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) SYS_##system,
#include "config/options.def"
#undef OPTION
};

const OptionEffect kOptionEffect[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) EFFECT_##effect,
#include "config/options.def"
#undef OPTION
};

#define PLAUSIBLE(low, high) {low, high, true, false}
#define PLAUSIBLE_OR_0(low, high) {low, high, true, true}
#define ANY_VALUE {0, 0, false, false}
const PlausibleRange kOptionPlausible[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, plausible, text) plausible,
#include "config/options.def"
#undef OPTION
};
#undef PLAUSIBLE
#undef PLAUSIBLE_OR_0
#undef ANY_VALUE

const char* const kCabSystemName[CAB_SYSTEM_COUNT] = {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) name,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};

const bool kCabSystemRuns[CAB_SYSTEM_COUNT] = {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) runs,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};

const int kCabSystemSwitch[CAB_SYSTEM_COUNT] = {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) runswitch,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};

const bool kCabSystemKeysWhenOff[CAB_SYSTEM_COUNT] = {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) offkeys,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};

const char* const kCabSystemActs[CAB_SYSTEM_COUNT] = {
#define CAB_SYSTEM(id, name, runs, runswitch, offkeys, acts) acts,
#include "config/cab_systems.def"
#undef CAB_SYSTEM
};
