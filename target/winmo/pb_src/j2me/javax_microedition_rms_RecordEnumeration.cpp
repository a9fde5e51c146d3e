// javax.microedition.rms.RecordEnumeration: a walk over the ids of a record store's records.
#include "javax_microedition_rms_RecordEnumeration.h"

VM_REGISTER_CLASS(javax::microedition::rms::RecordEnumeration, .name = "javax.microedition.rms.RecordEnumeration",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
