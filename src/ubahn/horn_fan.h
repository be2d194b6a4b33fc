// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
#pragma once

#include "ubahn/cab_record.h"

// The fan's frame step: its running sound and the buzzer after leaving neutral.
void lueftersound(UBahnCab& cab);
// The horn's frame step: its loop after the start sound.
void Huploop(UBahnCab& cab);
void Hupe_ein(UBahnCab& cab, int key);
void Hupe_aus(UBahnCab& cab, int key);
// An announcement: key 4, or the host's horn as kAnnouncementHorn.
void ELA(UBahnCab& cab, int key);
// Beacon: the sound element of the destination announcement.
void SetFahrtziel(UBahnCab& cab, int n);
