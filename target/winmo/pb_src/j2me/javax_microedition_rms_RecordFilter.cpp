// javax.microedition.rms.RecordFilter: nothing to register (no class record).
#include "javax_microedition_rms_RecordFilter.h"
