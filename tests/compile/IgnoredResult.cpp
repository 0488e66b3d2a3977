// Compiled by tests/compile/result_check.sh with the project's own flags:
// dropping a Result must stop the build; the same call whose Result is
// looked at (RESULT_USED) must build.
#include "platform/Result.h"

Result<int> mayFail(bool fail) {
    if (fail) return failure("failed");
    return 1;
}

int caller() {
#ifdef RESULT_USED
    const Result<int> r = mayFail(true);
    return r ? *r : 0;
#else
    mayFail(true);
    return 0;
#endif
}
