// The key list that KeyDown, the checker and the README read: each cab system's keys stand
// together, so a key reaches each system once, and every system with keys can be switched.
#include <gtest/gtest.h>

#include "config/fixed_wiring.h"
#include "config/option_kinds.h"

TEST(KeyChain, each_systems_keys_stand_together_and_the_system_can_be_run) {
  bool seen[CAB_SYSTEM_COUNT] = {};
  for (int i = 0; i < kKeyBindingCount; i++) {
    const CabSystem system = kKeyBindings[i].system;
    const bool continues = i > 0 && kKeyBindings[i - 1].system == system;
    EXPECT_TRUE(continues || !seen[system]) << kKeyBindings[i].handler << " stands apart from its system's keys";
    seen[system] = true;
    EXPECT_GE(kCabSystemSwitch[system], 0) << kCabSystemName[system] << " has keys but no run switch";
  }
}
