// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
#include "ubahn/traincontrol_overhoul.h"

bool summer = false;
int32_t lueftertimer = 0;
int32_t lueftersummertimer1 = 0;
int32_t lueftersummertimer2 = 0;
int32_t lueftersummertimer3 = 0;

void lueftersound() {}
void Huploop() {}
void Hupe_ein(int key) {}
void Hupe_aus(int key) {}
void ELA(int key) {}
void SetFahrtziel(int n) {}
