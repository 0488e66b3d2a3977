// The platform layer: the few operating-system services the program needs
// beyond SDL and OpenGL, and the only place that calls the operating system.
// One implementation per operating system sits behind this header, chosen in
// CMakeLists.txt: platform/posix/ and platform/x11/ for Linux, platform/win32/
// for Windows; platform/common/ holds what they share. A new port starts from
// platform/template/PlatformTemplate.cpp, which lists everything it must
// supply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
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
// missing. QUESSANTA_COMMON_APPDATA, else $XDG_CONFIG_HOME, else
// $HOME/.config (on Windows: else the common application data folder,
// C:\ProgramData). Empty when no folder can be determined or created, with
// the reason (naming the folder) in *reason when given.
std::string commonAppDataDir(std::string* reason = nullptr);

// The settings file: commonAppDataDir(), the separator and
// "Zandrim_Quessanta_cfg"; empty when the folder is unavailable, with the
// reason in *reason when given.
std::string settingsFilePath(std::string* reason = nullptr);

// Executable names of the two programs in the installation directory.
extern const char* const screensaverProgram;  // "Quessanta" ("Quessanta.exe")
extern const char* const settingsProgram;     // "config" ("config.exe")

// The program's arguments after its name, as UTF-8 text: on Windows read
// again from the wide-character command line (argv there is in the ANSI
// code page, which cannot spell every name); elsewhere argv as given.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// A fatal error's one line (without the line break): on stderr, and on
// Windows also in a message box titled "Quessanta" unless stderr is a
// console, since Windows shows no windowed program's standard error.
// Returns when the box has been closed.
void showFatalError(const std::string& line);

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
// a job that ends it when this process ends, however it ends); *exitStatus
// (when given) receives its exit code, or 128 + the signal number that ended
// it. On failure returns false with one line naming the path and the reason
// in *error.
bool launchProgram(const std::string& fileName, bool wait, int* exitStatus, std::string* error);

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

struct ReadFailure {
    std::string reason;    // one line, without the path
    bool missing = false;  // nothing exists at the path
};

// A regular file open for reading. Opening refuses anything else (a FIFO, a
// device, a folder) without blocking on it.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile() { close(); }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool open(const std::string& path, ReadFailure* failure);
    void close();
    // Its size when it was opened.
    std::uint64_t size() const { return bytes; }
    // Exactly `count` bytes from the current position, or from `offset`;
    // false (with the reason) on an error or when the file ends first.
    bool read(void* into, std::size_t count, ReadFailure* failure);
    bool readAt(std::uint64_t offset, void* into, std::size_t count, ReadFailure* failure);

private:
    std::intptr_t handle = -1;
    std::uint64_t bytes = 0;
};

// Reads the file at path whole into *bytes. Only a regular file is read: a
// FIFO, a device or a folder is refused without blocking on it, as is a file
// larger than maxSize; no more than the file's size at opening is ever
// allocated. False with the reason in *failure.
bool readRegularFile(const std::string& path, std::vector<unsigned char>* bytes, ReadFailure* failure,
                     std::uint64_t maxSize = UINT64_MAX);
// The same for the first `count` bytes of the file (all of a shorter one).
bool readRegularFileStart(const std::string& path, std::size_t count, std::vector<unsigned char>* bytes,
                          ReadFailure* failure);

// Creates the folder and each missing one along its path (mkdir -p). False
// with a one-line reason naming the folder that could not be made.
bool createFolders(const std::string& path, std::string* error);

// Appends the bytes to the file at path, creating it when missing. Only a
// regular file is written: a FIFO (with or without a reader), a device or a
// folder is refused without blocking on it. False with a one-line reason.
bool appendToRegularFile(const std::string& path, const std::string& bytes, std::string* error);

// Writes the bytes to the file folder + relative (folder empty: the working
// folder; relative uses '/'), creating or truncating it, without following
// a symbolic link anywhere in relative: one there refuses the write, as
// does anything but a regular file at the end. The folders along relative
// must exist. False with a one-line reason naming the path in *error.
bool writeFileBelow(const std::string& folder, const std::string& relative, const unsigned char* bytes,
                    std::size_t size, std::string* error);

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
// replaced, and the link stays. False with a one-line reason in *error, the
// old file untouched.
bool replaceFile(const std::string& path, const unsigned char* bytes, std::size_t size, FileMode mode,
                 std::string* error);

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
// true-colour visual); false with a one-line reason otherwise. Called before
// the video starts. From then on an X error that comes from the window
// having been destroyed by its owner ends the process quietly with exit
// code 0, and any other X error with one line and exit code 1, never Xlib's
// report; windowGone() tells when the window has gone, so the program can
// end quietly before any error comes. (On Windows nothing ends the process;
// windowGone() asks whether the window exists.)
bool watchWindow(std::uint64_t window, std::string* problem);
bool windowGone();

// --- OpenGL

// The name of the OpenGL renderer (what GL_RENDERER says) that a window on
// this display gets, asked of a throwaway context on a hidden window, so
// that choices such as multisampling can be made before the visible mode is
// set; empty when it cannot be told (no display, no OpenGL).
std::string openGlRenderer();

// --- The screen

// Chooses SDL's video driver, before SDL starts: on Linux x11 unless
// SDL_VIDEODRIVER names another, since SDL would otherwise fall back to
// drivers that write to the terminal. With x11, false when its display
// cannot be opened, with the reason: "DISPLAY is not set" or "cannot open
// the X display ':4711'". On Windows always true.
bool prepareVideoDriver(std::string* error);

// Waits until the pointer and the keyboard could be taken by a full-screen
// window, trying for at most timeoutMs milliseconds: another program may
// hold either for a while (a menu, a drag). True when both are free, or when
// the display cannot be asked (video set-up then reports that itself).
// Windows has no such wait: always true.
bool waitForInputGrab(int timeoutMs);

// The preview pane: a child window filling a host window.
struct PreviewWindow;

enum class PreviewEvent { Paint, Closed };

// Parses a decimal window id (an X window id, or a Windows HWND). False for
// anything that is not a whole non-negative number that fits the platform's
// window handle.
bool parseWindowId(const std::string& text, std::uint64_t* id);

// Creates the child window of `parent`, sized like the parent. Returns null
// (after one line on stderr) when the display or the parent is unusable.
PreviewWindow* previewOpen(std::uint64_t parent, int* width, int* height);
// Blocks until the window needs painting or has been destroyed.
PreviewEvent previewWait(PreviewWindow* window);
// Paints width x height pixels, 3 bytes each (red, green, blue), row 0 at
// the top, rows tightly packed.
void previewPaint(PreviewWindow* window, const unsigned char* rgb, int width, int height);
void previewClose(PreviewWindow* window);

}  // namespace platform
