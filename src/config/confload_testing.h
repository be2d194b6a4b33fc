// What the tests reach of the configuration table beyond its interface.
#pragma once

// As before the first SetDefaults: the list pointers are not known to be valid, and ScrapConfig
// leaves them alone.
void ForgetDefaultsForTesting();
