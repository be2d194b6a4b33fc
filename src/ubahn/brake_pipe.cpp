// The brake pipe and the supply pipe: their pressures, stepped every 50 ms, and their gauges.
#include "ubahn/traincontrol_overhoul.h"

double bremsleitungsdruck = 300.0;
double druck_hilfsvariable = 300.0;
double fuellleitungsdruck = 500.0;
double fuellleitungsdruck_hilf = 500.0;
int32_t luftbremstimer2 = 0;

void bremsleitung() {}
