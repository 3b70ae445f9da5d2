#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "support/child_process.h"

// Runs pixelwright-render to its end in workingDirectory with DISPLAY removed from its environment,
// so every run also shows that it needs no X server. `environment` adds NAME=VALUE settings.
CommandResult runRender(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                        const std::vector<std::string>& environment = {});

// A fresh folder under /tmp, removed with everything in it when the object goes away.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    // Everything below the folder, as paths relative to it, sorted.
    std::vector<std::string> contents() const;

private:
    std::string path_;
};

// Two pictures of width x height RGB pixels, both top row first, agree in every channel within
// `tolerance` levels; on failure says how many pixels differ, by how much at most, and where first.
testing::AssertionResult picturesAgree(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                                       int width, int height, int tolerance);
