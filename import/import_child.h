#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "import/model_limits.h"

struct ChildLimits {
    std::chrono::milliseconds wallClock{kImportSeconds * 1000};
    uint64_t memoryBytes = kImportMemoryBytes;
    uint64_t stackBytes = kImportStackBytes;
};

// A child process at work and the reading end of what it writes. Going away, it kills and reaps a
// child still running, so no path leaves one behind.
struct ChildPipe {
    pid_t pid = -1;
    int fd = -1;
    ChildLimits limits;
    std::chrono::steady_clock::time_point deadline;
    bool timedOut = false;
    bool overMemory = false;
    int status = 0;  // as waitpid gives it, once reaped
    std::vector<char> buffer;
    size_t begin = 0, end = 0;

    ChildPipe() = default;
    ~ChildPipe();
    ChildPipe(const ChildPipe&) = delete;
    ChildPipe& operator=(const ChildPipe&) = delete;
};

// The child's work: writes its result to `fd`. `memoryLimitBinds` tells whether running out of
// memory means passing the child's own limit rather than one the whole program was given.
using ChildWork = std::function<void(int fd, bool memoryLimitBinds)>;

// Runs `work` in a child process under `limits`, its standard output and error going nowhere, and
// ends the child without running exit handlers or flushing the parent's buffers. False with
// `error` when no child could be started.
bool startChild(const ChildLimits& limits, const ChildWork& work, ChildPipe& child, std::string& error);

// Fills `to` with the next `bytes` from the child; false at the end of its output, at the deadline,
// or once the child holds more memory than its limit (noted in `child`).
bool readFromChild(ChildPipe& child, void* to, size_t bytes);

// Waits for the child to end, killing it at the deadline. Empty when it ended normally; otherwise
// what happened, to follow "model 'FILE' ".
std::string finishChild(ChildPipe& child);
