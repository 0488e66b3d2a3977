// Entry point: one executable answers every switch of the screensaver host.
#include "app/RunModes.h"
#include "formats/CommandLine.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    // Installed it is called quessanta, and its messages say so.
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "Quessanta");
    return runCommandLine(platform::commandLineArguments(argc, argv));
}
