// Truncation and option-list reading shared by every cab system.
#include "cab/vocabulary.h"

#include <cmath>

int32_t TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

OptionWalk WalkOption(OptionId option) {
  OptionWalk walk;
  walk.first = gOpts[option].value;
  walk.firstTaken = false;
  walk.node = gOpts[option].next;
  return walk;
}

bool NextValue(OptionWalk& walk, int32_t* value) {
  if (!walk.firstTaken) {
    walk.firstTaken = true;
    *value = walk.first;
    return true;
  }
  if (walk.node == nullptr) return false;
  *value = walk.node->value;
  walk.node = walk.node->next;
  return true;
}

int32_t OptAt(OptionId option, int64_t k) {
  OptionWalk walk = WalkOption(option);
  int32_t value = 0;
  NextValue(walk, &value);
  for (int64_t i = 0; i < k; i++) {
    if (!NextValue(walk, &value)) break;  // past the end: the last value stands
  }
  return value;
}
