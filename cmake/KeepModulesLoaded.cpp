// Sanitizer builds only: libraries are never unloaded, so that a leak
// report at exit can still name the module it came from. Mesa unloads its
// driver when SDL shuts video down; without this its one-off allocations
// show as "<unknown module>" and cannot be told apart from ours.
extern "C" int dlclose(void*) { return 0; }
