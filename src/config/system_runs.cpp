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
  if (effect != EFFECT_UNREAD && SystemRuns(kOptionSystem[option])) return EFFECT_ACTS;
  return effect;
}
