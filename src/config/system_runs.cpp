// Which cab systems run and which options act, with the configuration as read into gOpts.
#include "config/confload.h"
#include "config/option_kinds.h"

bool SystemRuns(CabSystem system) {
  const int runSwitch = kCabSystemSwitch[system];
  if (runSwitch < 0) return kCabSystemRuns[system];
  return gOpts[runSwitch].value != 0;  // any value but 0 runs it
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
