// Preloaded into skarvel-frames by the tests: raises the signal named by SKARVEL_STRIKE (INT,
// TERM, QUIT, HUP) at the most delicate moment of a save, chosen by SKARVEL_STRIKE_AT:
//   created   right after a hidden temporary name (".skarvel-...") comes into being,
//   renaming  right before such a name is renamed to the frame's.
// So a test can place a signal where a real one lands only now and then.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>

#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

void strike(const char* moment, const char* path)
{
    const char* at = getenv("SKARVEL_STRIKE_AT");
    const char* name = getenv("SKARVEL_STRIKE");
    const char* slash = strrchr(path, '/');
    if (!at || !name || strcmp(at, moment) != 0 || strncmp(slash ? slash + 1 : path, ".skarvel-", 9) != 0)
        return;
    raise(strcmp(name, "INT") == 0 ? SIGINT : strcmp(name, "TERM") == 0 ? SIGTERM : strcmp(name, "QUIT") == 0 ? SIGQUIT : SIGHUP);
}

template <typename Function>
Function real(const char* symbol)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

} // namespace

extern "C" {

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags)
{
    const int result = real<int (*)(int, const char*, int, const char*, int)>("linkat")(olddirfd, oldpath, newdirfd, newpath, flags);
    if (result == 0)
        strike("created", newpath);
    return result;
}

// On a 64-bit system openat64 is openat under another name: one shim serves both.
int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
    va_end(args);
    const int fd = real<int (*)(int, const char*, int, ...)>("openat")(dirfd, path, flags, mode);
    if (fd >= 0 && (flags & O_CREAT))
        strike("created", path);
    return fd;
}
int openat64(int dirfd, const char* path, int flags, ...) __attribute__((alias("openat")));

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath)
{
    strike("renaming", oldpath);
    return real<int (*)(int, const char*, int, const char*)>("renameat")(olddirfd, oldpath, newdirfd, newpath);
}

} // extern "C"
