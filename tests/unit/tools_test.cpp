#include <gtest/gtest.h>

#include "plugin/tools.h"

TEST(Timer, armed_timer_starts_on_first_call_and_keeps_its_cadence) {
  int32_t timer = 0;
  EXPECT_FALSE(tOn(timer, 5000, 500));
  EXPECT_EQ(timer, 5000);
  EXPECT_FALSE(tOn(timer, 5499, 500));
  EXPECT_TRUE(tOn(timer, 5500, 500));
  EXPECT_EQ(timer, 5500);
  EXPECT_TRUE(tOn(timer, 6700, 500));
  EXPECT_EQ(timer, 6000);
  EXPECT_TRUE(tOn(timer, 6700, 500));
  EXPECT_EQ(timer, 6500);
  EXPECT_FALSE(tOn(timer, 6700, 500));
}
