// Vessilo: program entry. The shell starts the program without arguments;
// the runtime hands its host callbacks to the platform, the host bridge does
// the rest and its result is the exit code. The application it starts is the one
// properties/app.prop names beside the program: the game's ZedIRIvoz, which
// opens on the logo.
#include "VMRuntime.h"
#include "ce_window.h"
#include "hal_host.h"

int main() {
    ce::PrepareDesktopStart();
    _VM_installHostCallbacks();
    return WinMain(nullptr, nullptr, nullptr, ce::SW_SHOWNORMAL);
}
