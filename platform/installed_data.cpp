#include "platform/installed_data.h"

#include <filesystem>
#include <system_error>

#ifndef PIXELWRIGHT_DATA_FROM_BIN
#define PIXELWRIGHT_DATA_FROM_BIN "../share/pixelwright"
#endif

std::string installedDataFile(const std::string& name)
{
    std::error_code error;
    // The kernel's link names the executable itself, whatever folder or symbolic link it was run from.
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || executable.empty()) return {};
    return (executable.parent_path() / PIXELWRIGHT_DATA_FROM_BIN / name).lexically_normal().string();
}
