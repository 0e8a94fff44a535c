// Preloaded into quarvel-cli by the crash trials: the wall clock moved by
// QUARVEL_TEST_CLOCK_SHIFT seconds (negative: set back), as a clock set wrong and corrected
// would show it. The monotonic clocks are left alone.
#include <dlfcn.h>

#include <cstdlib>
#include <ctime>

extern "C" int clock_gettime(clockid_t id, struct timespec* ts) {
    using Real = int (*)(clockid_t, struct timespec*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int rc = real(id, ts);
    if (rc == 0 && (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE)) {
        if (const char* shift = std::getenv("QUARVEL_TEST_CLOCK_SHIFT"))
            ts->tv_sec += std::atol(shift);
    }
    return rc;
}

extern "C" time_t time(time_t* out) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    if (out) *out = ts.tv_sec;
    return ts.tv_sec;
}
