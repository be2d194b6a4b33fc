// For the tests alone: the U-Bahn cab's record and its devices' own routines.
#pragma once

#include "ubahn/brake.h"
#include "ubahn/cab_record.h"
#include "ubahn/doors.h"
#include "ubahn/horn_fan.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/spring_brake.h"
#include "ubahn/train_control.h"
#include "ubahn/traincontrol_overhoul.h"
#include "ubahn/trip_stop.h"
#include "ubahn/ubahn_cab.h"

// The one cab record the entry points work on.
UBahnCab& TestCab();
