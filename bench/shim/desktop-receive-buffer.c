/* A receive buffer as a desktop user gets it: most desktops cap net.core.rmem_max at 208 KiB,
 * and a user without CAP_NET_ADMIN cannot pass the cap. Preloaded into the finder by
 * bench/burst.sh --desktop-buffer (never by the programs themselves): SO_RCVBUFFORCE is refused
 * and SO_RCVBUF is held at 212992 bytes, whatever this machine's own cap is. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <sys/socket.h>

#define DESKTOP_RMEM_MAX 212992

int setsockopt(int fd, int level, int name, const void* value, socklen_t length) {
    static int (*real)(int, int, int, const void*, socklen_t);
    if (real == 0) {
        real = (int (*)(int, int, int, const void*, socklen_t))dlsym(RTLD_NEXT, "setsockopt");
    }
    if (level == SOL_SOCKET && name == SO_RCVBUFFORCE) {
        errno = EPERM;
        return -1;
    }
    if (level == SOL_SOCKET && name == SO_RCVBUF && length >= (socklen_t)sizeof(int) &&
        *(const int*)value > DESKTOP_RMEM_MAX) {
        const int capped = DESKTOP_RMEM_MAX;
        return real(fd, level, name, &capped, sizeof(capped));
    }
    return real(fd, level, name, value, length);
}
