// What the tests read of the handle arbitration: the common set's demand counts.
#pragma once

#include <cstdint>

// A count of the common set, for a notch or position inside its table.
int32_t BrakeDemandCount(int notch);
int32_t PowerDemandCount(int notch);
int32_t ReverserDemandCount(int position);  // -1 reverse, 0 neutral, 1 forward
// The common set's tables were made (a vehicle with an absurd notch count gets none).
bool BrakeDemandTableMade();
bool PowerDemandTableMade();
// A brake notch above 0 has been applied since the power handle last moved.
bool TractionInterlockHolds();
