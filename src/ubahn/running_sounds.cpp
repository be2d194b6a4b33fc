// Running, curve and rail-joint sounds, and the speedometer's overspeed contact (Deuta).
#include "ubahn/traincontrol_overhoul.h"

bool schienenstoss = false;
bool deuta = false;
bool loesesperrventil = false;

void Schienenstoss() {}
void Deuta() {}
void Kurvensound_schnell() {}
void Kurvensound_langsam() {}
void Fahrsound() {}
void SetSchienenstoss() {}
void SetKurvensound_schnell(int on) {}
void SetKurvensound_langsam(int on) {}
