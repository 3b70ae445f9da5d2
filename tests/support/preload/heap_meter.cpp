// Preloaded into the viewer by the memory test: every 20 ms it writes the bytes the process holds
// allocated (and not yet freed) to the file PIXELWRIGHT_HEAP_METER_FILE names, as one number padded
// to a fixed width, so the test reads a whole number whenever it looks. Unlike the resident size,
// this does not hide a leak in the heap's free holes, nor count the holes as growth.
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/allocated_bytes.h"

namespace {

void* meter(void* file)
{
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(file));
    char line[32];
    for (;;) {
        const int length = std::snprintf(line, sizeof line, "%20zu\n", allocatedBytes());
        if (pwrite(fd, line, static_cast<size_t>(length), 0) != length) return nullptr;
        usleep(20000);
    }
}

__attribute__((constructor)) void startMeter()
{
    const char* path = std::getenv("PIXELWRIGHT_HEAP_METER_FILE");
    if (!path) return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, meter, reinterpret_cast<void*>(static_cast<intptr_t>(fd))) == 0)
        pthread_detach(thread);
}

}  // namespace
