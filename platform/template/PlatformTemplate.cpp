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
Result<std::string> commonAppDataDir() { return failure("no settings folder"); }  // QUESSANTA_COMMON_APPDATA, else the folder shared by all users; created; the reason when impossible
Result<std::string> settingsFilePath() { return failure("no settings folder"); }  // commonAppDataDir() + separator + "Zandrim_Quessanta_cfg"
// dataDirFor comes from platform/common/.
const char* const screensaverProgram = "Quessanta";  // the executable names in the installation directory
const char* const settingsProgram = "config";

// --- Processes and environment
std::string getEnv(const char*) { return {}; }    // "" when unset or empty
void putEnv(const char*, const char*) {}           // inherited by programs started afterwards
std::vector<std::string> commandLineArguments(int, char**) { return {}; }  // after the program's name, UTF-8
void showFatalError(const std::string&) {}         // "NAME: line" on stderr, and wherever else the system shows a windowed program's error
// setProgramName, programName, setWarningHandler and warn come from platform/common/.
Result<int> launchProgram(const std::string&, bool) { return failure("cannot start programs"); }  // installation directory as working directory; wait passes stop requests on and ties the program's life to ours

// --- Stop requests (signals, console or session events)
void installStopSignals() {}                       // before deferStopSignals: end the process at once with 0; inherited ignores stay, but SIGTERM's
void deferStopSignals() {}                         // afterwards: only set the flag
bool stopRequested() { return false; }
bool sleepUnlessStopped(double) { return false; }  // returns early, true, once a stop request has come

// --- Files
Result<void> createFolders(const std::string&) { return failure("cannot create folders"); }  // mkdir -p; the reason names the folder
Result<void> RegularFile::open(const std::string&) { return failure("cannot read files"); }  // regular files only, never blocking
void RegularFile::close() {}
Result<void> RegularFile::read(void*, std::size_t) { return failure("not open"); }
Result<void> RegularFile::readAt(std::uint64_t, void*, std::size_t) { return failure("not open"); }
// readRegularFile and readRegularFileStart come from platform/common/, on top of RegularFile.
Result<void> appendToRegularFile(const std::string&, const std::string&) { return failure("cannot write files"); }  // regular files only, created when missing, never blocking
Result<void> writeFileBelow(const std::string&, const std::string&, const unsigned char*, std::size_t) { return failure("cannot write files"); }  // no link followed below the folder; regular files only
Result<void> replaceFile(const std::string&, const unsigned char*, std::size_t, FileMode) { return failure("cannot write files"); }  // temporary beside, flush, atomic replace
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
Result<void> watchWindow(std::uint64_t) { return failure("no windows"); }  // why not when it cannot be drawn in; from then on its destruction must not end the process
bool windowGone() { return false; }
Result<std::uint64_t> openDrawingWindow(std::uint64_t host, int, int) { return host; }  // a bounded window of ours inside the host's; the host's own where there is none
void closeDrawingWindow() {}
void placeWindow(std::uint64_t, int, int, int, int) {}  // move and resize one of our windows

// --- OpenGL
std::string openGlRenderer() { return {}; }   // GL_RENDERER of a throwaway context; "" when unknown
int openGlMaxDrawableSide() { return 0; }     // the smaller of GL_MAX_VIEWPORT_DIMS and GL_MAX_TEXTURE_SIZE there; 0 when unknown

// --- The screen
Result<void> prepareVideoDriver() { return success(); }  // SDL's driver chosen; an error when its display cannot be opened
bool waitForInputGrab(int) { return true; }        // true when a full-screen window can take pointer and keyboard
Result<void> prepareScreenDepth() { return success(); }  // why not when OpenGL cannot draw on the screen's depth
Result<void> claimScreen(int) { return success(); }  // of copies started together, one gets the full screen
void releaseScreen() {}

bool displayOffersMode(int, int) { return true; }  // false for a full-screen size the system would refuse or fake
void fitToScreen(std::uint64_t) {}                 // keeps the full-screen window the screen's size, from a thread, until stopped
void stopFittingToScreen() {}
void bringToFront(std::uint64_t) {}                // the full-screen window on top, active, with the keyboard focus

// --- Monitors
// screenAreaText and parseScreenArea come from platform/common/.
Result<int> launchOnEveryMonitor(const std::string& f) { return launchProgram(f, true); }  // one program per monitor where the hosts do not cover each
Result<std::optional<ScreenArea>> assignedMonitor() { return std::optional<ScreenArea>(); }  // the monitor a launcher handed this program

// --- The preview pane
bool parseDecimalWindowHandle(const std::string&, std::uint64_t*) { return false; }  // decimal, within the system's handles
Result<PreviewWindow*> previewOpen(std::uint64_t, int*, int*) { return failure("preview: no windows"); }  // a child window filling the host's
PreviewEvent previewWait(PreviewWindow*) { return PreviewEvent::Closed; }
void previewPaint(PreviewWindow*, const unsigned char*, int, int) {}
void previewClose(PreviewWindow*) {}

}  // namespace platform
