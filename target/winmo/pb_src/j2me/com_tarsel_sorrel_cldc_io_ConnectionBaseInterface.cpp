// com.tarsel.sorrel.cldc.io.ConnectionBaseInterface
#include "com_tarsel_sorrel_cldc_io_ConnectionBaseInterface.h"

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::io::ConnectionBaseInterface,
                  .name = "com.tarsel.sorrel.cldc.io.ConnectionBaseInterface", .staticInit = nullptr,
                  .isInterface = true, .isAbstract = true)
