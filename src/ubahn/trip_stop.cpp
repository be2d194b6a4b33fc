// The trip stop (Fahrsperre) with its button, and the persistent reset, override and kilometre counters.
#include "ubahn/traincontrol_overhoul.h"

bool fahrsperre = true;
bool loesesperrventil_fahrsperre = false;
bool fsp_gerade_eingeschaltet = false;
int32_t zaehlwerk1 = 0;
int32_t zaehlwerk2 = 0;
int32_t kilometerzaehler = 0;
double nulllage = 0.0;

void Fahrsperre(ATS_BEACONDATA beacon) {}
void Fahrsperre_druecken(int key) {}
void Fahrsperre_loslassen(int key) {}
void Fahrsperrenupdate() {}
void KilometerUndFahrsperrenzaehlwerk() {}
