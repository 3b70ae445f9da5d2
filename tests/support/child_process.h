#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A program started by a test: standard input from /dev/null, standard output and standard error
// each collected through a pipe. Every wait takes a deadline, and a child still running when the
// object goes away is killed and reaped, so a failing test never leaves a process behind.
class ChildProcess {
public:
    // Sanitizer test runs preload the sanitizer runtime and the GL driver (see tests/CMakeLists.txt)
    // for the programs under test; the tools that drive them must not get them.
    enum class Preload { drop, inherit };

    // argv[0] is looked up on PATH. An empty workingDirectory keeps the test's own. Each entry of
    // `environment` ("NAME=value") replaces or adds that variable for the child.
    explicit ChildProcess(const std::vector<std::string>& argv, const std::string& workingDirectory = {},
                          Preload preload = Preload::drop, const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Empty when the program was started; otherwise why it could not be.
    const std::string& startError() const { return startError_; }
    pid_t pid() const { return pid_; }

    bool running();
    // The exit code once the child has ended within the timeout (128 + signal number when a signal
    // ended it, as a shell reports it); nothing if it is still running then.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Waits until standard output holds `text` at or after byte `from`; returns where it starts.
    std::optional<size_t> waitForOutput(const std::string& text, size_t from, std::chrono::milliseconds timeout);
    void kill();

    // Everything read so far; bytes, not necessarily text.
    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }

private:
    // Reads whatever the pipes hold, waiting at most waitMs for the first byte.
    void readPipes(int waitMs);
    // Collects the exit status if the child has ended, without blocking.
    bool reap();

    pid_t pid_ = -1;
    int outputFd_ = -1;
    int errorFd_ = -1;
    std::string output_;
    std::string errors_;
    std::string startError_;
    std::optional<int> exitCode_;
};

struct CommandResult {
    std::optional<int> exitCode;  // nothing when the command did not end in time and was killed
    std::string output;
    std::string errors;
    std::string startError;
};

// Runs a short tool to its end, or kills it at the deadline.
CommandResult runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::string& workingDirectory = {},
                         ChildProcess::Preload preload = ChildProcess::Preload::drop);

// "xdotool key ... exited 1: <its stderr>" style text for failure messages.
std::string describeCommand(const std::vector<std::string>& argv, const CommandResult& result);
