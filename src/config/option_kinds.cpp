// The kinds, systems and effects of the options, taken from the key table.
#include "config/option_kinds.h"

const ValueKind kOptionKind[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, text) VK_##kind,
#include "config/options.def"
#undef OPTION
};

const ValueKind kOptionFurtherKind[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, text) VK_##further,
#include "config/options.def"
#undef OPTION
};

const CabSystem kOptionSystem[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, text) SYS_##system,
#include "config/options.def"
#undef OPTION
};

const OptionEffect kOptionEffect[OPTION_COUNT] = {
#define OPTION(name, key, def, kind, further, system, effect, text) EFFECT_##effect,
#include "config/options.def"
#undef OPTION
};

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

bool SystemRuns(CabSystem system) {
  const int runSwitch = kCabSystemSwitch[system];
  if (runSwitch < 0) return kCabSystemRuns[system];
  return gOpts[runSwitch].value != 0;  // any value other than 0 runs it
}

OptionEffect EffectOf(OptionId option) {
  const OptionEffect effect = kOptionEffect[option];
  if (effect == EFFECT_UNREAD || kOptionKind[option] == VK_SWITCH) return effect;
  const CabSystem system = kOptionSystem[option];
  if (SystemRuns(system)) return EFFECT_ACTS;
  // The key table tells what acts of a system that is off by default; one that runs by default
  // and is switched off acts not at all.
  return kCabSystemRuns[system] ? EFFECT_NOT_RUN : effect;
}
