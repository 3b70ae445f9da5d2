#pragma once

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

// Makes a fresh directory tree outer/work under the system's temporary folder and runs the test
// inside work, so that "sphere.raw" and "../sphere.raw" both resolve inside the tree; the previous
// working directory comes back and the tree is removed at the end.
class WorkingDirectoryInTemp {
public:
    WorkingDirectoryInTemp()
    {
        previous_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "pixelwright-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        outer_ = pattern;
        std::filesystem::create_directory(outer_ / "work");
        std::filesystem::current_path(outer_ / "work");
    }
    ~WorkingDirectoryInTemp()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(outer_, ignored);
    }
    WorkingDirectoryInTemp(const WorkingDirectoryInTemp&) = delete;
    WorkingDirectoryInTemp& operator=(const WorkingDirectoryInTemp&) = delete;

    const std::filesystem::path& outer() const { return outer_; }
    std::filesystem::path work() const { return outer_ / "work"; }

private:
    std::filesystem::path previous_;
    std::filesystem::path outer_;
};
