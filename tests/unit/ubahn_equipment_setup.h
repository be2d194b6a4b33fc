// The U-Bahn cab equipment (doors, trip stop, spring brake, running sounds, horn and fan) put
// into its state at load, with every panel element it writes wired to an element of its own so
// a test reads exactly the lamp or display it means.
#pragma once

#include <cstdint>
#include <filesystem>

#include "config/confload.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "test_files.h"
#include "ubahn/testing.h"

// Panel elements of the doors.
const int kPanelCloseLampOn = 100;
const int kPanelCloseLampOff = 101;
const int kPanelRightButton = 102;
const int kPanelRightButtonPre = 103;
const int kPanelLeftButton = 104;
const int kPanelLeftButtonPre = 105;
const int kPanelRightLamp = 106;
const int kPanelRightLampPre = 107;
const int kPanelLeftLamp = 108;
const int kPanelLeftLampPre = 109;
const int kPanelDoorsClosed = 110;
const int kPanelRightState = 111;
const int kPanelLeftState = 112;
const int kPanelMessage = 113;
const int kPanelBlocked = 114;
const int kPanelPassengers10 = 115;
const int kPanelPassengers1 = 116;
const int kPanelCover = 117;
// Trip stop and counters.
const int kPanelTripLamp = 120;
const int kPanelTripButtonArmed = 121;
const int kPanelTripButtonTripped = 122;
const int kPanelZ1Digits = 123;  // four elements: /1000, /100, /10, /1
const int kPanelZ2Digits = 127;  // four elements
const int kPanelKmDigits = 131;  // five elements: /10000 .. /1
// Spring brake.
const int kPanelSpringRed = 140;
const int kPanelSpringYellow = 141;
const int kPanelSpringApplyLit = 142;
const int kPanelSpringApplyDark = 143;
const int kPanelSpringRelease = 144;
// Horn and fan.
const int kPanelHornButton = 150;
const int kPanelFanBuzzer = 151;

inline void WireEquipment() {
  gOpts[OPT_tuer_zu_taster_LM_ein].value = kPanelCloseLampOn;
  gOpts[OPT_tuer_zu_taster_LM_aus].value = kPanelCloseLampOff;
  gOpts[OPT_Taster_tuer_rechts].value = kPanelRightButton;
  gOpts[OPT_Taster_tuer_rechts_vorwahl].value = kPanelRightButtonPre;
  gOpts[OPT_Taster_tuer_links].value = kPanelLeftButton;
  gOpts[OPT_Taster_tuer_links_vorwahl].value = kPanelLeftButtonPre;
  gOpts[OPT_LM_tuer_rechts].value = kPanelRightLamp;
  gOpts[OPT_LM_tuer_rechts_vorwahl].value = kPanelRightLampPre;
  gOpts[OPT_LM_tuer_links].value = kPanelLeftLamp;
  gOpts[OPT_LM_tuer_links_vorwahl].value = kPanelLeftLampPre;
  gOpts[OPT_tuer_zu].value = kPanelDoorsClosed;
  gOpts[OPT_tuerstatus_rechts].value = kPanelRightState;
  gOpts[OPT_tuerstatus_links].value = kPanelLeftState;
  gOpts[OPT_tuermessage].value = kPanelMessage;
  gOpts[OPT_tuermessage_einklemm].value = kPanelBlocked;
  gOpts[OPT_fahrgaeste_10].value = kPanelPassengers10;
  gOpts[OPT_fahrgaeste_1].value = kPanelPassengers1;
  gOpts[OPT_abdeckung].value = kPanelCover;

  gOpts[OPT_fahrsperre].value = kPanelTripLamp;
  gOpts[OPT_taster_fahrsperre_LM_ein].value = kPanelTripButtonArmed;
  gOpts[OPT_taster_fahrsperre_LM_aus].value = kPanelTripButtonTripped;
  gOpts[OPT_zaehlwerk1_1000].value = kPanelZ1Digits;
  gOpts[OPT_zaehlwerk1_100].value = kPanelZ1Digits + 1;
  gOpts[OPT_zaehlwerk1_10].value = kPanelZ1Digits + 2;
  gOpts[OPT_zaehlwerk1_1].value = kPanelZ1Digits + 3;
  gOpts[OPT_zaehlwerk2_1000].value = kPanelZ2Digits;
  gOpts[OPT_zaehlwerk2_100].value = kPanelZ2Digits + 1;
  gOpts[OPT_zaehlwerk2_10].value = kPanelZ2Digits + 2;
  gOpts[OPT_zaehlwerk2_1].value = kPanelZ2Digits + 3;
  gOpts[OPT_kilometer_10000].value = kPanelKmDigits;
  gOpts[OPT_kilometer_1000].value = kPanelKmDigits + 1;
  gOpts[OPT_kilometer_100].value = kPanelKmDigits + 2;
  gOpts[OPT_kilometer_10].value = kPanelKmDigits + 3;
  gOpts[OPT_kilometer_1].value = kPanelKmDigits + 4;

  gOpts[OPT_LM_speicherbremse_rot].value = kPanelSpringRed;
  gOpts[OPT_LM_speicherbremse_gelb].value = kPanelSpringYellow;
  gOpts[OPT_taster_speicherbremse_ein_LM_ein].value = kPanelSpringApplyLit;
  gOpts[OPT_taster_speicherbremse_ein_LM_aus].value = kPanelSpringApplyDark;
  gOpts[OPT_taster_speicherbremse_aus].value = kPanelSpringRelease;

  gOpts[OPT_huptaster].value = kPanelHornButton;
  gOpts[OPT_luefter].value = kPanelFanBuzzer;
}

// Every variable of the equipment back at its value when the library is loaded.
inline void ResetEquipmentState() {
  TestCab().doors.tueren_geschlossen = false;
  TestCab().doors.fahrgaeste = 0;
  TestCab().doors.rechts.tuerstatus = TestCab().doors.links.tuerstatus = kDoorClosed;
  TestCab().doors.rechts.tueren_offen = TestCab().doors.links.tueren_offen = false;
  TestCab().doors.freigabe = TestCab().doors.tuertaster_gedrueckt = false;
  TestCab().doors.tuerseite = 0;
  TestCab().doors.fahrgastphase = kFahrgaesteWarten;
  TestCab().doors.tuerschliesstimer = TestCab().doors.einsteigetimer = TestCab().doors.Randaletimer = 0;
  TestCab().doors.tuermessage_einklemm_an = false;

  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  TestCab().tripStop.fahrsperre_taster = kTasterLos;
  TestCab().tripStop.zaehlwerk1 = TestCab().tripStop.zaehlwerk2 = TestCab().tripStop.kilometerzaehler = 0;
  TestCab().tripStop.nulllage = 0.0;

  TestCab().springBrake.befehl = kBefehlKeiner;
  TestCab().springBrake.speicherbremse_ein_gedrueckt = false;
  TestCab().springBrake.speicherbremse_aus_taster = kAusLos;
  TestCab().springBrake.federspeicher_aktiv = false;
  TestCab().springBrake.speicherbremse_LM_gelb = false;
  TestCab().springBrake.Speicherbremsentimer_rot = TestCab().springBrake.Speicherbremsentimer_gelb = TestCab().springBrake.Speicherbremseaustimer = 0;

  TestCab().sounds.schienenstoss = false;
  TestCab().sounds.schienenstossposition = 0.0;
  TestCab().sounds.knocks = kKnocksNone;
  TestCab().sounds.deuta = kDeutaRuhe;
  TestCab().sounds.deutatimer = 0;
  TestCab().sounds.kurve_schnell.kurve = TestCab().sounds.kurve_langsam.kurve = false;
  TestCab().sounds.kurve_schnell.unterdrueckung = TestCab().sounds.kurve_langsam.unterdrueckung = true;
  TestCab().sounds.kurve_schnell.timer = TestCab().sounds.kurve_langsam.timer = 0;
  TestCab().sounds.langsam.an = TestCab().sounds.mittel.an = TestCab().sounds.schnell.an = false;
  TestCab().sounds.langsam.timer = TestCab().sounds.mittel.timer = TestCab().sounds.schnell.timer = 0;

  TestCab().hornFan.hupe = false;
  TestCab().hornFan.huptimer = 0;
  TestCab().hornFan.summer = kBuzzerOver;
  TestCab().hornFan.lueftertimer = TestCab().hornFan.lueftersummertimer1 = TestCab().hornFan.lueftersummertimer2 = TestCab().hornFan.lueftersummertimer3 = 0;
  TestCab().hornFan.fahrtziel = 0;
  TestCab().hornFan.wartezeit = 1000;
  TestCab().hornFan.ELAtimer = 0;
  TestCab().hornFan.luefter_anzeige_an = false;
}

// Fresh arrays, default options with the equipment wired, the equipment as at load, the master
// controller in neutral and the brake controller in position 0, standing at time 0.
inline void StartEquipment() {
  Load();
  ScrapConfig();
  SetDefaults();
  WireEquipment();
  gState = ATS_VEHICLESTATE{};
  ResetEquipmentState();
  TestCab().master.fahrschalter = 2;
  TestCab().brake.bremsschalter = 0;
  TestCab().master.SifaKey = false;
  TestCab().master.SifaBremst = false;
  TestCab().brake.festhaltebremse = false;
}

// The vehicle state of one frame.
inline void At(int32_t time, float speed, double location = 0.0) {
  gState.Time = time;
  gState.Speed = speed;
  gState.Location = location;
}

// Works three levels below a fresh folder that holds Train/Morvan, where the counter files live,
// and goes back to the previous working folder at the end.
struct CounterFolder {
  TempFolder root;
  std::filesystem::path previous;
  std::filesystem::path morvan;
  CounterFolder() {
    previous = std::filesystem::current_path();
    morvan = root.path / "Train" / "Morvan";
    std::filesystem::create_directories(morvan);
    std::filesystem::create_directories(root.path / "a" / "b" / "c");
    std::filesystem::current_path(root.path / "a" / "b" / "c");
  }
  ~CounterFolder() { std::filesystem::current_path(previous); }
  std::string File(const char* name) const { return (morvan / name).string(); }
};
