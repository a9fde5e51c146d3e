// javax.microedition.rms.RecordListener: told of every record added, changed or deleted.
#include "javax_microedition_rms_RecordListener.h"

VM_REGISTER_CLASS(javax::microedition::rms::RecordListener, .name = "javax.microedition.rms.RecordListener",
                  .staticInit = nullptr, .isInterface = true, .isAbstract = true)
