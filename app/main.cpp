// Entry point: one executable answers every switch of the screensaver host.
#include "app/RunModes.h"

#include <string>
#include <vector>

int main(int argc, char** argv) { return runCommandLine(std::vector<std::string>(argv + 1, argv + argc)); }
