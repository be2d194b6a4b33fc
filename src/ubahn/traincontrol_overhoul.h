// The U-Bahn cab: master controller and Sifa, brakes, pipe, doors, trip stop, spring brake and
// sounds. One module; each device lives in a file of its own named after it.
#pragma once

#include "ubahn/brake.h"
#include "ubahn/brake_pipe.h"
#include "ubahn/doors.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/horn_fan.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/spring_brake.h"
#include "ubahn/train_control.h"
#include "ubahn/trip_stop.h"
