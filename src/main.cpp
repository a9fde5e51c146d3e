// Vessilo: program entry. The shell starts the program without arguments;
// the host bridge does the rest and its result is the exit code.
#include "ce_window.h"
#include "hal_host.h"

int main() { return WinMain(nullptr, nullptr, nullptr, ce::SW_SHOWNORMAL); }
