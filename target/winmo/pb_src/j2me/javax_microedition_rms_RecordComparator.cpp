// javax.microedition.rms.RecordComparator: nothing to register (no class
// record).
#include "javax_microedition_rms_RecordComparator.h"
