#include "import/import_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer reserves terabytes of address space for itself: its child is watched from here.
constexpr bool kWatchResidentSize = true;
#else
constexpr bool kWatchResidentSize = false;
#endif

constexpr size_t kBufferBytes = 64 * 1024;
constexpr int kWatchMilliseconds = 5;

// Lowers the soft limit to `most` where it is higher, and the hard one to `hard`; true when `most`
// is then the limit that binds, rather than a lower one the program was started with.
bool lowerLimit(int resource, rlim_t most, rlim_t hard = RLIM_INFINITY)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0) return false;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= most) return false;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < most) return false;
    limit.rlim_cur = most;
    if (hard != RLIM_INFINITY && (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > hard)) limit.rlim_max = hard;
    return setrlimit(resource, &limit) == 0;
}

[[noreturn]] void runChild(const ChildLimits& limits, const ChildWork& work, int fd)
{
    const int nowhere = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nowhere >= 0) {
        dup2(nowhere, STDIN_FILENO);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
    }
    // A crash ends the child by its signal, which the parent names, in every build: neither the
    // sanitizer's handlers nor any the program installed report it as something else.
    for (int fault : {SIGPIPE, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) signal(fault, SIG_DFL);
    const bool memoryBinds = !kWatchResidentSize && lowerLimit(RLIMIT_AS, limits.memoryBytes);
    lowerLimit(RLIMIT_STACK, limits.stackBytes);
    // A spinning child is stopped even should the parent not be there to kill it.
    const auto seconds = static_cast<rlim_t>(limits.wallClock.count() / 1000 + 1);
    lowerLimit(RLIMIT_CPU, seconds, seconds + 1);
    try {
        work(fd, memoryBinds);
    } catch (...) {
        _exit(3);
    }
    _exit(0);
}

uint64_t residentBytes(pid_t pid)
{
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    uint64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

// Waits for the child's next bytes and reads up to `capacity` of them into `to`: how many, or 0 at
// their end or when the child must be stopped.
size_t readSome(ChildPipe& child, char* to, size_t capacity)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(child.deadline -
                                                                                 std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            child.timedOut = true;
            return 0;
        }
        if (kWatchResidentSize && residentBytes(child.pid) > child.limits.memoryBytes) {
            child.overMemory = true;
            return 0;
        }
        pollfd ready{child.fd, POLLIN, 0};
        const int wait = kWatchResidentSize ? std::min<int>(kWatchMilliseconds, static_cast<int>(left.count()))
                                            : static_cast<int>(left.count());
        if (poll(&ready, 1, wait) <= 0) continue;
        const ssize_t got = read(child.fd, to, capacity);
        if (got < 0 && errno == EINTR) continue;
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
}

void reap(ChildPipe& child, bool kill)
{
    if (child.pid <= 0) return;
    if (kill) ::kill(child.pid, SIGKILL);
    while (waitpid(child.pid, &child.status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
}

}  // namespace

ChildPipe::~ChildPipe()
{
    if (fd >= 0) close(fd);
    reap(*this, true);
}

bool startChild(const ChildLimits& limits, const ChildWork& work, ChildPipe& child, std::string& error)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot be read: no pipe to the importer (") + std::strerror(errno) + ")";
        return false;
    }
    std::fflush(nullptr);  // or the child's copies of unwritten output could be written twice
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        runChild(limits, work, ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        error = std::string("cannot be read: no process for the importer (") + std::strerror(errno) + ")";
        return false;
    }
    child.pid = pid;
    child.fd = ends[0];
    child.limits = limits;
    child.deadline = std::chrono::steady_clock::now() + limits.wallClock;
    child.buffer.resize(kBufferBytes);
    return true;
}

// Large reads go straight to their destination, so arrays cross with few copies and system calls.
bool readFromChild(ChildPipe& child, void* to, size_t bytes)
{
    auto* out = static_cast<char*>(to);
    while (bytes > 0) {
        size_t n = 0;
        if (child.begin < child.end) {
            n = std::min(bytes, child.end - child.begin);
            std::memcpy(out, child.buffer.data() + child.begin, n);
            child.begin += n;
        } else if (bytes >= child.buffer.size()) {
            if ((n = readSome(child, out, bytes)) == 0) return false;
        } else {
            child.begin = 0;
            child.end = readSome(child, child.buffer.data(), child.buffer.size());
            if (child.end == 0) return false;
            continue;
        }
        out += n;
        bytes -= n;
    }
    return true;
}

std::string finishChild(ChildPipe& child)
{
    while (child.pid > 0 && !child.timedOut && !child.overMemory) {
        const pid_t done = waitpid(child.pid, &child.status, WNOHANG);
        if (done == child.pid) child.pid = -1;
        else if (std::chrono::steady_clock::now() >= child.deadline) child.timedOut = true;
        else usleep(2000);
    }
    reap(child, true);
    const int status = child.status;
    if (child.timedOut || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU))
        return "took the importer more than " + std::to_string(child.limits.wallClock.count() / 1000) + " s";
    if (child.overMemory)
        return "needed more than " + std::to_string(child.limits.memoryBytes >> 20) + " MiB of memory to import";
    if (WIFSIGNALED(status)) return "crashed the importer (signal " + std::to_string(WTERMSIG(status)) + ")";
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        return "crashed the importer (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    return std::string();
}
