// Preloaded, makes the disk slow to sync: fsync and fdatasync wait while the file named by
// ARDLOW_SLOW_SYNC_GATE exists, at most 20 s each, then sync. ardlow_slow_syncs counts
// the syncs begun.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

int ardlow_slow_syncs = 0;

static void wait_at_gate(void) {
    __atomic_add_fetch(&ardlow_slow_syncs, 1, __ATOMIC_SEQ_CST);
    const char* gate = getenv("ARDLOW_SLOW_SYNC_GATE");
    for (int i = 0; gate != NULL && i < 2000 && access(gate, F_OK) == 0; ++i) {
        const struct timespec pause = {0, 10000000};
        nanosleep(&pause, NULL);
    }
}

int fsync(int fd) {
    wait_at_gate();
    int (*real)(int) = NULL;
    *(void**)&real = dlsym(RTLD_NEXT, "fsync");
    return real(fd);
}

int fdatasync(int fd) {
    wait_at_gate();
    int (*real)(int) = NULL;
    *(void**)&real = dlsym(RTLD_NEXT, "fdatasync");
    return real(fd);
}
