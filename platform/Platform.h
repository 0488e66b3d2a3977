// The platform layer: the few operating-system services the program needs
// beyond SDL and OpenGL, and the only place that calls the operating system.
// One implementation per operating system sits behind this header, chosen in
// CMakeLists.txt: platform/posix/ and platform/x11/ for Linux, platform/win32/
// for Windows; platform/common/ holds what they share. A new port starts from
// platform/template/PlatformTemplate.cpp, which lists everything it must
// supply.
#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The installation directory: where the programs, packs and preview bitmap
// live. QUESSANTA_PATH if set and not empty (a relative one taken from the
// working folder), else (Windows) the registry value the installer wrote,
// else the folder of the running executable. Always ends in the separator
// ('/', on Windows '\\'), so file names are appended directly.
std::string installDir();

// The folder of the data files (packs, preview.ppk) that go with programs
// in `programDir` (which ends in the separator, as installDir() does).
// Installed, as `cmake --install` and the Debian package lay it out, the
// programs are in PREFIX/lib/quessanta/ and the data in
// PREFIX/share/quessanta/; anywhere else (the build's installation
// directory, Windows) the data lie beside the programs. Ends in the
// separator.
std::string dataDirFor(const std::string& programDir);

// The folder shared by all users for the settings file, created when
// missing: QUESSANTA_COMMON_APPDATA (with the folders on its way), else
// $XDG_CONFIG_HOME when it is absolute, else $HOME/.config, of which only
// the last folder is made (on Windows: else the common application data
// folder, C:\ProgramData). An error (naming the folder) when no folder can
// be determined or created.
Result<std::string> commonAppDataDir();

// The settings file: commonAppDataDir(), the separator and
// "Zandrim_Quessanta_cfg"; the folder's error when it is unavailable.
Result<std::string> settingsFilePath();

// Executable names of the two programs in the installation directory.
extern const char* const screensaverProgram;  // "Quessanta" ("Quessanta.exe")
extern const char* const settingsProgram;     // "config" ("config.exe")

// The program's arguments after its name, as UTF-8 text: on Windows read
// again from the wide-character command line (argv there is in the ANSI
// code page, which cannot spell every name); elsewhere argv as given.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// --- Messages to the user
//
// Every message begins with the program's name, and library code never
// prints: it returns an Error (platform/Result.h) or, for what does not stop
// it, hands a warning to the handler the program installed.

// The program's name from argv[0]: its last path component, without a
// Windows ".exe" or ".scr"; `fallback` when argv[0] is missing or empty.
// Set once by each program's entry, read by every message.
void setProgramName(const char* argv0, const char* fallback);
const std::string& programName();

// A fatal error's one line (without the program's name or the line break):
// "NAME: line" on stderr, and on Windows also in a message box titled
// "Quessanta" unless stderr is a console, since Windows shows no windowed
// program's standard error. Returns when the box has been closed; the
// caller then ends the program with its exit status.
void showFatalError(const std::string& line);

// A warning: something was left out and the program goes on (an image that
// cannot be used, a settings file that cannot be read). Goes to the handler
// the program installed; without one, "NAME: line" on stderr.
using WarningHandler = void (*)(const std::string& line);
void setWarningHandler(WarningHandler handler);
void warn(const std::string& line);

// An environment variable's value; empty when it is unset or empty.
std::string getEnv(const char* name);
// Puts NAME=VALUE into the process environment (inherited by children).
void putEnv(const char* name, const char* value);

// Starts installDir() + fileName with no arguments and the installation
// directory as working directory (QUESSANTA_PATH, when set, is passed on as
// that absolute folder). With wait set, returns when the program has ended,
// and it cannot outlive this process: SIGTERM, SIGINT and SIGHUP sent to
// this process meanwhile are passed on to it (on Windows the console's
// Ctrl-C reaches both and only the program acts on it, and the program is in
// a job that ends it when this process ends, however it ends). Gives its exit
// code (0 when not waited for), or 128 + the signal number that ended it; an
// error naming the path and the reason when it cannot be started.
Result<int> launchProgram(const std::string& fileName, bool wait);

// --- Stop signals

// SIGTERM, SIGINT, SIGHUP and SIGUSR1 (which some screensaver hosts send to
// end a saver); on Windows the console's Ctrl-C, Ctrl-Break and close
// events. Until deferStopSignals() they end the process at once with exit
// code 0 (nothing has been changed yet that needs undoing, and start-up may
// block inside libraries); afterwards they only set the flag that
// stopRequested() reads, so the main loop can end in order; if that takes
// more than two seconds (a driver stuck on a vanished window), the POSIX
// process ends at once with 0 all the same (Windows ends a console program
// itself a few seconds after a close event).
// A signal the process inherited as ignored stays ignored (nohup's SIGHUP,
// a background job's SIGINT), except SIGTERM, which hosts end savers with.
// SIGPIPE is ignored from here on: a closed pipe is a failed write.
void installStopSignals();
void deferStopSignals();
bool stopRequested();
// Sleeps for the given time, or less when a stop request comes meanwhile
// (or came before); true when it did.
bool sleepUnlessStopped(double seconds);

// --- Files

// A regular file open for reading. Opening refuses anything else (a FIFO, a
// device, a folder) without blocking on it.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile() { close(); }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // The error's message does not name the path; its kind is Missing when
    // nothing exists there.
    Result<void> open(const std::string& path);
    void close();
    // Its size when it was opened.
    std::uint64_t size() const { return bytes; }
    // Exactly `count` bytes from the current position, or from `offset`;
    // an error (the reason) when reading fails or the file ends first.
    Result<void> read(void* into, std::size_t count);
    Result<void> readAt(std::uint64_t offset, void* into, std::size_t count);

private:
    std::intptr_t handle = -1;
    std::uint64_t bytes = 0;
};

// Reads the file at path whole. Only a regular file is read: a FIFO, a
// device or a folder is refused without blocking on it, as is a file larger
// than maxSize; no more than the file's size at opening is ever allocated.
// The error gives the reason (without the path).
Result<std::vector<unsigned char>> readRegularFile(const std::string& path, std::uint64_t maxSize = UINT64_MAX);
// The same for the first `count` bytes of the file (all of a shorter one).
Result<std::vector<unsigned char>> readRegularFileStart(const std::string& path, std::size_t count);

// Creates the folder and each missing one along its path (mkdir -p). The
// error names the folder that could not be made.
Result<void> createFolders(const std::string& path);

// Appends the bytes to the file at path, creating it when missing. Only a
// regular file is written: a FIFO (with or without a reader), a device or a
// folder is refused without blocking on it. The error gives the reason.
Result<void> appendToRegularFile(const std::string& path, const std::string& bytes);

// Writes the bytes to the file folder + relative (folder empty: the working
// folder; relative uses '/'), creating or truncating it, without following
// a symbolic link anywhere in relative: one there refuses the write, as
// does anything but a regular file at the end. Folders along relative that
// are missing are made. The error names the path.
Result<void> writeFileBelow(const std::string& folder, const std::string& relative, const unsigned char* bytes,
                            std::size_t size);

// On Windows the folder's inherited access rules apply instead.
enum class FileMode {
    Ordinary,       // as a newly created file: 0666 less the umask
    ReadableByAll,  // 0644: a file in a folder shared by all users
};

// Replaces the file at path with the bytes, atomically: they go to a
// temporary file beside it (path, a dot and six letters or digits), are
// flushed to the disk and renamed over path (MoveFileExW on Windows, where
// rename does not replace), so readers see the old file or the new one,
// never a part of either. The temporary file is removed on failure and when
// a stop signal ends the process meanwhile; temporary files of the same
// naming older than a minute, left by a process that was killed, are
// removed too. A symbolic link at path is followed: the file it leads to is
// replaced, and the link stays. On an error (naming the file) the old file
// is untouched.
Result<void> replaceFile(const std::string& path, const unsigned char* bytes, std::size_t size,
                         FileMode mode = FileMode::Ordinary);

// An advisory lock on a folder, for read-modify-write cycles of the files in
// it between processes that take the same lock. Waits at most timeoutMs for
// it to be free.
class FolderLock {
public:
    FolderLock(const std::string& folder, int timeoutMs);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    // False when the lock could not be taken, also when another holder kept
    // it too long; the reason (naming the folder) is in error().
    bool held() const { return handle >= 0; }
    const std::string& error() const { return reason; }

private:
    std::intptr_t handle = -1;
    std::string reason;
};

// --- XScreenSaver

// The file of XScreenSaver's own settings, whose list of programs is the
// system's: QUESSANTA_XSCREENSAVER_DEFAULTS when set, else XScreenSaver's
// app-defaults file (on Debian 12 and 13 /etc/X11/app-defaults/XScreenSaver);
// empty where XScreenSaver does not run (Windows).
std::string xscreensaverDefaultsFile();

// --- Time and memory

// Seconds on a clock that never jumps, from an arbitrary start.
double monotonicSeconds();
// The wall-clock time now, in seconds as std::time gives them.
std::time_t wallTime();
// The local time of a moment given as std::time gives it; false when it
// cannot be told.
bool localTime(std::time_t moment, std::tm* out);
// Resident memory of this process now, and at most so far, in KiB; -1 when
// the system cannot tell.
long residentKilobytes();
long peakResidentKilobytes();
// Gives memory the process freed back to the system (the allocator keeps
// freed memory for reuse otherwise): once start-up's big temporaries are
// gone.
void returnFreedMemory();

// --- A host's window to draw in (screensaver hosts, their preview panes)

// The root window of the display (the desktop window on Windows); 0 when
// the display cannot be opened.
std::uint64_t rootWindow();
// The window's size; false when it does not exist (any more).
bool windowSize(std::uint64_t window, int* width, int* height);
// Checks that the window exists and can be drawn in (not input-only, a
// true-colour visual); an error saying why otherwise. Called before
// the video starts. From then on an X error that comes from the window
// having been destroyed by its owner ends the process quietly with exit
// code 0, and any other X error with one line and exit code 1, never Xlib's
// report; windowGone() tells when the window has gone, so the program can
// end quietly before any error comes. (On Windows nothing ends the process;
// windowGone() asks whether the window exists.)
Result<void> watchWindow(std::uint64_t window);
bool windowGone();

// A window of this process inside the host's window, at its top-left
// corner, for SDL to draw in: the host's window may be larger than the
// renderer can draw (a drawable's buffers grow with its size), this one is
// sized within bounds by its owner. Of the host's visual (of true colour of
// the same depth where the host's is a DirectColor one of more than 8 bits
// a channel, which classic SDL 1.2 crashes on); it takes no input and goes
// with the host's window. A root window is drawn in as it is (it is the
// screen's size): the host's own id then. On Windows the host's window
// itself. closeDrawingWindow destroys the one made.
Result<std::uint64_t> openDrawingWindow(std::uint64_t host, int width, int height);
void closeDrawingWindow();
// Moves and resizes a window of this process at once (the drawing window,
// SDL's full-screen windows); done when it returns.
void placeWindow(std::uint64_t window, int x, int y, int width, int height);

// --- OpenGL

// The name of the OpenGL renderer (what GL_RENDERER says) that a window on
// this display gets, asked of a throwaway context on a hidden window, so
// that choices such as multisampling can be made before the visible mode is
// set; empty when it cannot be told (no display, no OpenGL).
std::string openGlRenderer();
// The longest side of a drawable that renderer takes: the smaller of its
// largest viewport and texture sides; 0 when it cannot be told. Asked of
// the same throwaway context, once.
int openGlMaxDrawableSide();

// --- The screen

// Chooses SDL's video driver, before SDL starts: on Linux x11 unless
// SDL_VIDEODRIVER names another, since SDL would otherwise fall back to
// drivers that write to the terminal. With x11, an error when its display
// cannot be opened: "DISPLAY is not set" or "cannot open the X display
// ':4711'". On Windows always fine.
Result<void> prepareVideoDriver();

// Waits until the pointer and the keyboard could be taken by a full-screen
// window, trying for at most timeoutMs milliseconds: another program may
// hold either for a while (a menu, a drag). True when both are free, or when
// the display cannot be asked (video set-up then reports that itself).
// Windows has no such wait: always true.
bool waitForInputGrab(int timeoutMs);

// Before SDL starts full screen: an error naming the screen's depth when
// OpenGL cannot draw on it (no true colour, fewer than 15 bits); steers
// SDL away from visuals of that depth it would crash on (a 30-bit screen's
// DirectColor ones under classic SDL 1.2). Fine when the display cannot be
// asked, and on Windows.
Result<void> prepareScreenDepth();

// Claims the full screen of the display for this process among the
// programs that claim it so (other copies of this program), waiting at most
// timeoutMs for a holder to let go. Atomic: of copies started together
// exactly one gets it. Held until releaseScreen() or the end of the
// process; an error saying who holds it otherwise. Fine when the display
// cannot be asked (video set-up then reports that itself); Windows has no
// such claim: always fine.
Result<void> claimScreen(int timeoutMs);
void releaseScreen();

// Whether the monitor a full-screen mode is set on offers a mode of that
// size (Windows: the primary monitor's list of modes). Windows refuses one
// it lacks and Wine pretends to switch, so that the picture would sit in a
// corner or a framed window. True on X11, where SDL scales or centres it.
bool displayOffersMode(int width, int height);

// Keeps a full-screen window of this process (SDL's covering one) the
// screen's size, from a thread of its own, as soon as the screen's size
// changes. The main loop cannot always do it in time: under sdl12-compat
// the hidden pointer is warped towards the window's middle, and while that
// lies off a screen that shrank SDL's event pump does not return. Until
// stopFittingToScreen(), which must come before the window is destroyed.
// Nothing on Windows.
void fitToScreen(std::uint64_t window);
void stopFittingToScreen();

// Puts the full-screen window (the native window SDL drew into) above
// every other window, active and with the keyboard focus, and for the first
// seconds of the run takes the focus back from any other window: the window
// that had it may still be handing it over. Of the programs "/s" starts for
// several monitors only the primary monitor's takes the focus. Nothing on
// X11, where the full-screen window grabs the keyboard.
void bringToFront(std::uint64_t window);

// --- Monitors: "/s" covers every one

// A rectangle of the desktop, in its pixels.
struct ScreenArea {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The text that hands a screensaver the monitor it covers ("X,Y,WxH", the
// value of QUESSANTA_MONITOR), and back: false for anything else, for a
// size outside 1..32767 or a corner outside -32768..32767.
std::string screenAreaText(const ScreenArea& area);
bool parseScreenArea(const std::string& text, ScreenArea* area);

// As launchProgram(fileName, true), once for each monitor where the desktop
// has several (Windows): each program covers its monitor (assignedMonitor),
// all are held in one job tied to this process, and the first one to end
// gives the exit status and ends the others with a close request (forcibly
// after five seconds). With one monitor, and on X11, where the hosts cover
// each screen, exactly launchProgram.
Result<int> launchOnEveryMonitor(const std::string& fileName);

// The monitor launchOnEveryMonitor started this program to cover
// (QUESSANTA_MONITOR); nothing when there is none (always on X11), an
// error when the value cannot be read.
Result<std::optional<ScreenArea>> assignedMonitor();

// The preview pane: a child window filling a host window.
struct PreviewWindow;

enum class PreviewEvent { Paint, Closed };

// A window handle as the host's switches carry it ("/p 1234", "/c:1234"):
// decimal digits only, from 1 to the largest handle of the platform (an X
// window id has 29 bits, a Windows HWND's significant part 32). False for
// anything else. (Screensaver options take hex too: parseHostWindowId.)
bool parseDecimalWindowHandle(const std::string& text, std::uint64_t* id);

// Creates the child window of `parent`, sized like the parent; an error
// saying why when the display or the parent is unusable.
Result<PreviewWindow*> previewOpen(std::uint64_t parent, int* width, int* height);
// Blocks until the window needs painting or has been destroyed.
PreviewEvent previewWait(PreviewWindow* window);
// Paints width x height pixels, 3 bytes each (red, green, blue), row 0 at
// the top, rows tightly packed.
void previewPaint(PreviewWindow* window, const unsigned char* rgb, int width, int height);
void previewClose(PreviewWindow* window);

}  // namespace platform
