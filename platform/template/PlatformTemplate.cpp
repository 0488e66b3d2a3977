// Template for a new port of the platform layer: everything Platform.h
// declares, with what each must do in brief. Copy it into a folder of the
// new system's name, fill in every body, and add the folder to the platform
// layer's sources in CMakeLists.txt for that system. Not compiled as it is.
//
// Covers: nothing yet. State here what the port covers and what it lacks,
// as the other ports' files do.
#include "platform/Platform.h"

namespace platform {

// --- Installation and settings folders
std::string installDir() { return "./"; }          // QUESSANTA_PATH, else the system's record, else the executable's folder; ends in the separator
std::string commonAppDataDir(std::string*) { return {}; }  // QUESSANTA_COMMON_APPDATA, else the folder shared by all users; created; "" and the reason when impossible
std::string settingsFilePath(std::string*) { return {}; }  // commonAppDataDir() + separator + "Zandrim_Quessanta_cfg"
// dataDirFor comes from platform/common/.
const char* const screensaverProgram = "Quessanta";  // the executable names in the installation directory
const char* const settingsProgram = "config";

// --- Processes and environment
std::string getEnv(const char*) { return {}; }    // "" when unset or empty
void putEnv(const char*, const char*) {}           // inherited by programs started afterwards
std::vector<std::string> commandLineArguments(int, char**) { return {}; }  // after the program's name, UTF-8
void showFatalError(const std::string&) {}         // stderr, and wherever else the system shows a windowed program's error
bool launchProgram(const std::string&, bool, int*, std::string*) { return false; }  // installation directory as working directory; wait passes stop requests on and ties the program's life to ours

// --- Stop requests (signals, console or session events)
void installStopSignals() {}                       // before deferStopSignals: end the process at once with 0; inherited ignores stay, but SIGTERM's
void deferStopSignals() {}                         // afterwards: only set the flag
bool stopRequested() { return false; }
bool sleepUnlessStopped(double) { return false; }  // returns early, true, once a stop request has come

// --- Files
bool createFolders(const std::string&, std::string*) { return false; }  // mkdir -p; the reason names the folder
bool RegularFile::open(const std::string&, ReadFailure*) { return false; }  // regular files only, never blocking
void RegularFile::close() {}
bool RegularFile::read(void*, std::size_t, ReadFailure*) { return false; }
bool RegularFile::readAt(std::uint64_t, void*, std::size_t, ReadFailure*) { return false; }
// readRegularFile and readRegularFileStart come from platform/common/, on top of RegularFile.
bool appendToRegularFile(const std::string&, const std::string&, std::string*) { return false; }  // regular files only, created when missing, never blocking
bool writeFileBelow(const std::string&, const std::string&, const unsigned char*, std::size_t, std::string*) { return false; }  // no link followed below the folder; regular files only
bool replaceFile(const std::string&, const unsigned char*, std::size_t, FileMode, std::string*) { return false; }  // temporary beside, flush, atomic replace
FolderLock::FolderLock(const std::string&, int) {}  // advisory, waits at most the time given; leaves nothing behind
FolderLock::~FolderLock() {}

// --- XScreenSaver
std::string xscreensaverDefaultsFile() { return {}; }  // QUESSANTA_XSCREENSAVER_DEFAULTS, else XScreenSaver's app-defaults file; "" where it does not run

// --- Time and memory
double monotonicSeconds() { return 0; }
std::time_t wallTime() { return 0; }
bool localTime(std::time_t, std::tm*) { return false; }
long residentKilobytes() { return -1; }
long peakResidentKilobytes() { return -1; }
void returnFreedMemory() {}                        // hand freed heap memory back, if the allocator can

// --- A host's window to draw in
std::uint64_t rootWindow() { return 0; }           // the whole screen's window; 0 when there is none
bool windowSize(std::uint64_t, int*, int*) { return false; }  // false when the window does not exist
bool watchWindow(std::uint64_t, std::string*) { return false; }  // false (why) when it cannot be drawn in; from then on its destruction must not end the process
bool windowGone() { return false; }

// --- OpenGL
std::string openGlRenderer() { return {}; }   // GL_RENDERER of a throwaway context; "" when unknown

// --- The screen
bool prepareVideoDriver(std::string*) { return true; }  // SDL's driver chosen; false when its display cannot be opened
bool waitForInputGrab(int) { return true; }        // true when a full-screen window can take pointer and keyboard

// --- The preview pane
bool parseWindowId(const std::string&, std::uint64_t*) { return false; }
PreviewWindow* previewOpen(std::uint64_t, int*, int*) { return nullptr; }  // a child window filling the host's
PreviewEvent previewWait(PreviewWindow*) { return PreviewEvent::Closed; }
void previewPaint(PreviewWindow*, const unsigned char*, int, int) {}
void previewClose(PreviewWindow*) {}

}  // namespace platform
