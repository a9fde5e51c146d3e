// com.tarsel.sorrel.cldc.io.ConsoleOutputStream: the byte stream behind the console.
#include "com_tarsel_sorrel_cldc_io_ConsoleOutputStream.h"

#include "hal_system.h"

namespace com::tarsel::sorrel::cldc::io {

VMPtr<ConsoleOutputStream> ConsoleOutputStream::construct() {
    Super::construct();
    return this;
}

void ConsoleOutputStream::write(jint b) { HAL_consoleWrite(b); }

void ConsoleOutputStream::flush() { HAL_consoleFlush(); }

}  // namespace com::tarsel::sorrel::cldc::io

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::io::ConsoleOutputStream,
                  .name = "com.tarsel.sorrel.cldc.io.ConsoleOutputStream",
                  .newInstance = _VM_newInstanceOf<com::tarsel::sorrel::cldc::io::ConsoleOutputStream>)
