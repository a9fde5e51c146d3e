// ts.MediaManager: the framework's media interface.
#include "ts_MediaManager.h"

VM_REGISTER_CLASS(ts::MediaManager, .name = "ts.MediaManager", .staticInit = nullptr, .isInterface = true,
                  .isAbstract = true)
