#include "texture/raw_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>  // program_invocation_short_name: the messages name whichever program reads the file
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "texture/environment_image.h"

namespace {

// A FIFO, a device or a directory is refused before it is opened; the open itself never blocks
// (a FIFO swapped in after the check would otherwise wait for a writer) and the opened file is
// checked again. Returns -1 with the reason in `why`.
int openRegularFile(const char* path, std::string& why)
{
    struct stat info {};
    if (stat(path, &info) != 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? "a directory" : "not a regular file";
        return -1;
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        why = "not a regular file";
        return -1;
    }
    return fd;
}

// Stops at the end of the file or at a read error; what was read until then counts.
size_t readUpTo(int fd, unsigned char* buffer, size_t size)
{
    size_t total = 0;
    while (total < size) {
        const ssize_t n = read(fd, buffer + total, size - total);
        if (n > 0)
            total += static_cast<size_t>(n);
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    return total;
}

}  // namespace

Texture loadRawImage(const char* path, const char* thirdPlace)
{
    std::vector<std::string> candidates;
    if (path) {
        candidates = {path};
    } else {
        candidates = {"sphere.raw", "../sphere.raw"};
        if (thirdPlace && *thirdPlace) candidates.push_back(thirdPlace);
    }

    std::string tried;
    for (size_t i = 0; i < candidates.size(); ++i) {
        std::string why;
        const int fd = openRegularFile(candidates[i].c_str(), why);
        if (fd < 0) {
            tried += std::string(tried.empty() ? "" : " nor ") + "\"" + candidates[i] + "\" (" + why + ")";
            continue;
        }
        std::vector<unsigned char> bytes(kRawImageBytes, 0);
        const size_t count = readUpTo(fd, bytes.data(), bytes.size());
        close(fd);
        if (count < kRawImageBytes)
            std::fprintf(stderr, "%s: read only %zu of %zu bytes from \"%s\"; the missing texels are black\n",
                         program_invocation_short_name, count, kRawImageBytes, candidates[i].c_str());
        return decodeRawImage(bytes.data(), count);
    }
    std::fprintf(stderr, "%s: cannot read %s; using the built-in environment image\n", program_invocation_short_name, tried.c_str());
    return makeEnvironmentImage();
}
