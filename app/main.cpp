// Entry point: one executable answers every switch of the screensaver host.
#include "app/RunModes.h"

#include <string>

int main(int argc, char** argv) {
    // The host's command line, as the text after the program name.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return runCommandLine(commandLine);
}
