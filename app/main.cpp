// Entry point: one executable answers every switch of the screensaver host.
#include "app/RunModes.h"
#include "formats/CommandLine.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Installed it is called quessanta, and its messages say so.
    setProgramName(argc > 0 ? argv[0] : nullptr, "Quessanta");
    return runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
