// The plug-in's copies of the host's records.
#include "cab/host.h"

ATS_VEHICLESPEC gTrainspecs;
ATS_VEHICLESTATE gState;
ATS_HANDLES gHandles;
ATS_HANDLES gDriver;
