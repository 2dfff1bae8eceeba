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

int temporary(const char* path)
{
    const char* slash = strrchr(path, '/');
    return strncmp(slash ? slash + 1 : path, ".skarvel-", 9) == 0;
}

void strike(const char* moment, const char* path)
{
    const char* at = getenv("SKARVEL_STRIKE_AT");
    const char* name = getenv("SKARVEL_STRIKE");
    if (!at || !name || strcmp(at, moment) != 0 || !temporary(path))
        return;
    const int signal = strcmp(name, "INT") == 0 ? SIGINT : strcmp(name, "TERM") == 0 ? SIGTERM
                       : strcmp(name, "QUIT") == 0 ? SIGQUIT : SIGHUP;
    raise(signal);
}

} // namespace

extern "C" {

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags)
{
    const auto real = reinterpret_cast<int (*)(int, const char*, int, const char*, int)>(dlsym(RTLD_NEXT, "linkat"));
    const int result = real(olddirfd, oldpath, newdirfd, newpath, flags);
    if (result == 0)
        strike("created", newpath);
    return result;
}

static int openAndStrike(const char* symbol, int dirfd, const char* path, int flags, mode_t mode)
{
    const auto real = reinterpret_cast<int (*)(int, const char*, int, ...)>(dlsym(RTLD_NEXT, symbol));
    const int fd = real(dirfd, path, flags, mode);
    if (fd >= 0 && (flags & O_CREAT))
        strike("created", path);
    return fd;
}

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return openAndStrike("openat", dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return openAndStrike("openat64", dirfd, path, flags, mode);
}

int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath)
{
    const auto real = reinterpret_cast<int (*)(int, const char*, int, const char*)>(dlsym(RTLD_NEXT, "renameat"));
    strike("renaming", oldpath);
    return real(olddirfd, oldpath, newdirfd, newpath);
}

} // extern "C"
