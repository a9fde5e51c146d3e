// com.tarsel.sorrel.cldc.io.ConnectionBaseInterface: the interface of every protocol class.
#include "com_tarsel_sorrel_cldc_io_ConnectionBaseInterface.h"

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::io::ConnectionBaseInterface,
                  .name = "com.tarsel.sorrel.cldc.io.ConnectionBaseInterface", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
