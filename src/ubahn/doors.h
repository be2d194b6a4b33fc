// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#pragma once

#include <cstdint>

extern bool tueren_geschlossen;  // all doors closed: the drive button may give power
extern int32_t fahrgaeste;       // passengers still to board
extern int32_t tuerstatus_rechts;    // right door side: 0 closed, 1 closing, 2 warning, 3 requested, 4 released
extern int32_t tuerstatus_links;     // left door side, the same states
extern bool tueren_rechts_offen;     // the right doors have actually opened at this stop
extern bool tueren_links_offen;      // the left doors have actually opened at this stop
extern bool freigabe;                // a door release is pending; the closing sequence waits
extern bool tuertaster_gedrueckt;    // the close button is held
extern int32_t tuerseite;            // platform side of the coming stop: 1 right, 2 left
extern bool einsteigen;              // boarding has started at this stop
extern bool randale;                 // the protest timer is armed while standing with closed doors
extern int32_t tuerschliesstimer;    // tOn timer of the closing warning and closing, ms
extern int32_t einsteigetimer;       // tOn timer of boarding, ms
extern int32_t Randaletimer;         // tOn timer of the waiting passengers' protest, ms
extern bool tuermessage_einklemm_an; // the blocked-doors message as last shown (for an unwired display)

// Start of a run: the doors count as closed and no passengers wait.
void InitDoors();
void Tuersteuerung();
void Tuertaster_druecken(int key);
void Tuertaster_loslassen(int key);
void Tuertaster_rechts_druecken(int key);
void Tuertaster_rechts_loslassen(int key);
void Tuertaster_links_druecken(int key);
void Tuertaster_links_loslassen(int key);
void TuerseiteFestlegen(int side);
void TuerInit(int side);
void SetFahrgaeste(int count);
