// Where the data files lie beside the programs: one rule for every port.
#include "platform/Platform.h"

#ifndef QUESSANTA_PROGRAM_SUBDIR
#error "QUESSANTA_PROGRAM_SUBDIR and QUESSANTA_DATA_SUBDIR come from CMakeLists.txt"
#endif

namespace platform {

std::string dataDirFor(const std::string& programDir) {
    // The installed layout: PREFIX/lib/quessanta/ beside PREFIX/share/quessanta/.
    const std::string programs = "/" QUESSANTA_PROGRAM_SUBDIR "/";
    if (programDir.size() >= programs.size() &&
        programDir.compare(programDir.size() - programs.size(), programs.size(), programs) == 0)
        return programDir.substr(0, programDir.size() - programs.size()) + "/" QUESSANTA_DATA_SUBDIR "/";
    return programDir;
}

}  // namespace platform
