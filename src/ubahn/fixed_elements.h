// The U-Bahn cab's fixed wiring: host key numbers, controller positions and the sound elements
// that the cab drives without configuration.
#pragma once

// ---- Host keys ----
const int kKeyTripStop = 0;             // trip-stop button
const int kKeyHorn = 2;                 // horn button
const int kKeyAnnouncement = 4;         // destination announcement
const int kKeyFahrschalterAuf = 5;      // master controller one step up
const int kKeyFahrschalterAb = 6;       // master controller one step down
const int kKeyFahrschalterNull = 7;     // master controller thrown to neutral
const int kKeyDoorsLeft = 8;            // left door button
const int kKeyDoorsClose = 9;           // door close button
const int kKeyDoorsRight = 10;          // right door button
const int kKeySpringBrakeApply = 11;    // spring brake apply button
const int kKeySpringBrakeRelease = 12;  // spring brake release button
const int kKeyHoldingBrake = 13;        // holding-brake button
const int kKeyBrakeRelease = 14;        // brake controller one step towards release
const int kKeyBrakeApply = 15;          // brake controller one step towards braking
const int kAnnouncementHorn = 100;      // the host's horn reaches the announcements as this key

// ---- Master controller positions (0..7) ----
const int kFahrschalterReverse1 = 1;  // reverse, first step (0 is the second)
const int kFahrschalterNeutral = 2;   // neutral: no direction chosen
const int kFahrschalterForward1 = 3;  // forward, first step
const int kFahrschalterTop = 7;       // forward, fifth step

// ---- Brake controller positions (0..8) ----
const int kBrakeSlowCharge = 1;      // driving position: the pipe charges slowly
const int kBrakeFastCharge = 2;      // fast charging; 0 to 2 are the released positions
const int kBrakeElectric1 = 3;       // 3 to 6: electric brake steps
const int kBrakeElectric2 = 4;       // from here up the air brake lifts above 440 kPa
const int kBrakeLastSlowCharge = 5;  // the pipe charges slowly up to here
const int kBrakeHolding = 6;         // holding brake; the holding-brake button works here
const int kBrakeService = 7;         // air brake, slow venting
const int kBrakeEmergency = 8;       // air brake, emergency venting

// ---- Fixed sound elements ----
const int kSoundOverspeedWarning = 0;        // speedometer overspeed warning
const int kSoundEmergencyVenting = 1;        // pipe vented through the emergency position
const int kSoundSwitchClick = 5;             // a controller is moved
const int kSoundHoldingButton = 6;           // holding-brake button
const int kSoundPipeVenting = 7;             // the pipe vents: service position or trip valve
const int kSoundPipeFilling = 8;             // the pipe is being charged
const int kSoundFanStart = 9;                // traction fan starting
const int kSoundFanRunning = 10;             // traction fan running
const int kSoundFanRunDown = 11;             // traction fan running down
const int kSoundBuzzerLoop = 12;             // fan buzzer
const int kSoundHornStart = 13;
const int kSoundHornLoop = 14;
const int kSoundHornEnd = 15;
const int kSoundDoorsOpenRight = 16;
const int kSoundDoorsWarningRight = 17;      // closing warning
const int kSoundDoorsWithdrawnRight = 18;    // a release withdrawn before the doors opened
const int kSoundDoorsOpenLeft = 19;
const int kSoundDoorsWarningLeft = 20;
const int kSoundDoorsWithdrawnLeft = 21;
const int kSoundDoorsHeldOpenRight = 22;     // doors held open by passengers
const int kSoundDoorsHeldOpenLeft = 23;
const int kSoundKnockFirstPair = 24;         // rail joint under the first pair of wheelsets
const int kSoundKnockSecondPair = 25;
const int kSoundKnockThirdPair = 26;
const int kSoundTripStopOverride = 27;       // a trip point passed with the button held
const int kSoundHornAnnouncement = 28;       // announcement after the horn
const int kSoundMovingSignal = 29;           // announcement requested on the move
const int kSoundFastCurveStart = 50;
const int kSoundFastCurveLoop = 51;
const int kSoundFastCurveEnd = 52;
const int kSoundSlowCurveStart = 53;
const int kSoundSlowCurveLoop = 54;
const int kSoundSlowCurveEnd = 55;
const int kSoundSlowBandStart = 58;          // running sound, 15 to 35 km/h
const int kSoundSlowBandLoop = 59;
const int kSoundSlowBandEnd = 60;
const int kSoundMiddleBandStart = 61;        // running sound, 35 to 55 km/h
const int kSoundMiddleBandLoop = 62;
const int kSoundMiddleBandEnd = 63;
const int kSoundFastBandStart = 64;          // running sound, above 55 km/h
const int kSoundFastBandLoop = 65;
const int kSoundFastBandEnd = 66;
const int kSoundBuzzerStart = 67;
const int kSoundBuzzerEnd = 68;
const int kSoundSpringApplyPressed = 69;             // spring brake apply button
const int kSoundSpringReleasePressedApplied = 70;    // release button while applied
const int kSoundSpringReleaseLetGo = 71;             // release button let go, also after a remote release
const int kSoundSpringReleasePressedReleased = 72;   // release button while released
const int kSoundTripStopResetReleased = 73;  // trip-stop reset, spring brake released
const int kSoundTripStopResetApplied = 74;   // trip-stop reset, spring brake applied
const int kSoundStarting = 75;               // the motors starting as the drive button takes power
const int kSoundStopping = 76;               // the electric brake bringing the train to rest
const int kSoundProtest = 77;                // passengers left outside
const int kSoundForcedBraking = 78;          // Sifa or trip-stop forced braking
