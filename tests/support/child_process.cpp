#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void closeFd(int& fd)
{
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workingDirectory,
                           Preload preload, const std::vector<std::string>& environment)
{
    // Close-on-exec on every end, so one child never holds another child's pipe open; dup2 onto
    // 1 and 2 clears the flag for the ends the child is meant to keep.
    int outputPipe[2], errorPipe[2];
    if (pipe2(outputPipe, O_CLOEXEC) != 0) {
        startError_ = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        startError_ = std::string("pipe: ") + std::strerror(errno);
        close(outputPipe[0]);
        close(outputPipe[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], 2);
    if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const auto overridden = [&](const char* variable) {
        const size_t nameEnd = std::strcspn(variable, "=") + 1;
        if (preload == Preload::drop && std::strncmp(variable, "LD_PRELOAD=", 11) == 0) return true;
        return std::any_of(environment.begin(), environment.end(),
                           [&](const std::string& e) { return e.compare(0, nameEnd, variable, nameEnd) == 0; });
    };
    std::vector<char*> variables;
    for (char** variable = environ; *variable; ++variable)
        if (!overridden(*variable)) variables.push_back(*variable);
    for (const std::string& variable : environment) variables.push_back(const_cast<char*>(variable.c_str()));
    variables.push_back(nullptr);
    const int error = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outputPipe[1]);
    close(errorPipe[1]);
    outputFd_ = outputPipe[0];
    errorFd_ = errorPipe[0];
    if (error != 0) {
        pid_ = -1;
        startError_ = "cannot start " + argv[0] + ": " + std::strerror(error);
        closeFd(outputFd_);
        closeFd(errorFd_);
    }
}

ChildProcess::~ChildProcess()
{
    kill();
    closeFd(outputFd_);
    closeFd(errorFd_);
}

void ChildProcess::readPipes(int waitMs)
{
    pollfd fds[2] = {{outputFd_, POLLIN, 0}, {errorFd_, POLLIN, 0}};
    if (poll(fds, 2, waitMs) <= 0) return;
    std::string* sinks[2] = {&output_, &errors_};
    int* owners[2] = {&outputFd_, &errorFd_};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[65536];
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) {
            sinks[i]->append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            closeFd(*owners[i]);  // the child closed its end
        }
    }
}

bool ChildProcess::reap()
{
    if (pid_ < 0) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    exitCode_ = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    pid_ = -1;
    // What it wrote just before ending is still in the pipes; its own children may keep them open,
    // so read for a moment, not until end of file.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(200);
    while ((outputFd_ >= 0 || errorFd_ >= 0) && millisecondsLeft(deadline) > 0) readPipes(millisecondsLeft(deadline));
    return true;
}

bool ChildProcess::running()
{
    readPipes(0);
    return !reap();
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!reap()) {
        if (millisecondsLeft(deadline) == 0) return std::nullopt;
        readPipes(std::min(10, millisecondsLeft(deadline)));  // with both pipes closed, poll just sleeps
    }
    return exitCode_;
}

std::optional<size_t> ChildProcess::waitForOutput(const std::string& text, size_t from,
                                                  std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const size_t at = output_.find(text, from);
        if (at != std::string::npos) return at;
        if (!running() || millisecondsLeft(deadline) == 0) {
            // A line written just before the end counts too.
            const size_t last = output_.find(text, from);
            return last == std::string::npos ? std::nullopt : std::optional<size_t>(last);
        }
        readPipes(std::min(10, millisecondsLeft(deadline)));
    }
}

void ChildProcess::kill()
{
    if (pid_ < 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    exitCode_ = 128 + SIGKILL;
    pid_ = -1;
}

CommandResult runCommand(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::string& workingDirectory, ChildProcess::Preload preload)
{
    ChildProcess child(argv, workingDirectory, preload);
    CommandResult result;
    result.startError = child.startError();
    if (result.startError.empty()) {
        result.exitCode = child.waitForExit(timeout);
        if (!result.exitCode) child.kill();
    }
    result.output = child.output();
    result.errors = child.errors();
    return result;
}

std::string describeCommand(const std::vector<std::string>& argv, const CommandResult& result)
{
    std::string text;
    for (const std::string& arg : argv) text += (text.empty() ? "" : " ") + arg;
    if (!result.startError.empty()) return text + ": " + result.startError;
    if (!result.exitCode) return text + ": did not finish in time";
    return text + ": exit " + std::to_string(*result.exitCode) + (result.errors.empty() ? "" : ": " + result.errors);
}
