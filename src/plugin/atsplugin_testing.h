// What the tests reach inside the entry points: the table of cab-system rows they walk.
#pragma once

#include "cab/cab_system.h"

// The entry points walk these rows, one per cab system in the order of the plug-in's own table,
// instead of the systems' own; null brings the systems' own back.
void UseCabSystemRowsForTesting(const CabSystemRow* const* rows);
// The plug-in's own rows, in its order.
int CabSystemRowCount();
const CabSystemRow& CabSystemRowAt(int index);
