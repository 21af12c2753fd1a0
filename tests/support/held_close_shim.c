/* Loaded with LD_PRELOAD into the test SFTP server only (sshd_fixture's holdCloseOf).
 *
 * Holds the close of every file named by VELMORA_HOLD_CLOSE for ever: the server has taken every
 * byte of an upload but never confirms the close, the one wait of an upload that a client cannot
 * reach from its own side. Every other file closes as usual. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int namesHeldFile(int fd)
{
    const char* held = getenv("VELMORA_HOLD_CLOSE");
    char link[64];
    char path[4096];
    if (!held || !*held)
        return 0;
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return 0;
    path[length] = '\0';
    const char* name = strrchr(path, '/');
    return name && strcmp(name + 1, held) == 0;
}

int close(int fd)
{
    static int (*realClose)(int);
    if (namesHeldFile(fd))
        for (;;)
            pause();
    if (!realClose)
        realClose = (int (*)(int))dlsym(RTLD_NEXT, "close");
    return realClose(fd);
}
