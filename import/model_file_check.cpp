#include "import/model_file_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "import/model_limits.h"

namespace {

// Enough for any PLY header of a real model.
constexpr size_t kHeaderBytes = 64 * 1024;

std::string headerOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string header(kHeaderBytes, '\0');
    file.read(&header[0], static_cast<std::streamsize>(header.size()));
    header.resize(static_cast<size_t>(file.gcount()));
    return header;
}

// Every element takes at least a byte even in a binary file, so a file of S bytes holds at most
// S elements.
bool countsFit(uint64_t declared, uint64_t size, std::string& problem)
{
    if (declared <= size) return true;
    problem = "declares " + std::to_string(declared) + " elements in its header, more than its " +
              std::to_string(size) + " bytes can hold";
    return false;
}

// OFF and its variants (COFF, NOFF, STOFF...): the keyword, then the vertex, face and edge counts.
bool offCountsFit(const std::string& header, uint64_t size, std::string& problem)
{
    std::istringstream in(header);
    std::string keyword;
    in >> keyword;
    if (keyword.size() < 3 || keyword.compare(keyword.size() - 3, 3, "OFF") != 0) return true;
    in >> std::ws;
    while (in.peek() == '#') {  // comment lines before the counts
        std::string skipped;
        std::getline(in, skipped);
        in >> std::ws;
    }
    uint64_t total = 0;
    for (int k = 0; k < 2; ++k) {
        std::string word;
        in >> word;
        // A malformed face count still leaves the vertex count, which the importer sizes by.
        if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) break;
        if (word.size() > 19) return countsFit(UINT64_MAX, size, problem);
        total += std::stoull(word);
    }
    return countsFit(total, size, problem);
}

// PLY: "element NAME COUNT" lines up to end_header.
bool plyCountsFit(const std::string& header, uint64_t size, std::string& problem)
{
    if (header.compare(0, 3, "ply") != 0) return true;
    std::istringstream in(header);
    std::string line;
    uint64_t total = 0;
    while (std::getline(in, line) && line.compare(0, 10, "end_header") != 0) {
        std::istringstream words(line);
        std::string keyword, name, count;
        words >> keyword >> name >> count;
        if (keyword != "element") continue;
        if (count.empty() || count.find_first_not_of("0123456789") != std::string::npos) continue;
        if (count.size() > 19) return countsFit(UINT64_MAX, size, problem);
        total += std::stoull(count);
        if (!countsFit(total, size, problem)) return false;
    }
    return true;
}

}  // namespace

bool modelFileAcceptable(const std::string& path, std::string& problem)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = "is a directory, not a model file";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = "is not a regular file";
        return false;
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size == 0) {
        problem = "is empty";
        return false;
    }
    if (size > kMaxModelFileBytes) {
        problem = "is larger than the " + std::to_string(kMaxModelFileBytes >> 20) + " MiB a model file may have";
        return false;
    }
    const std::string header = headerOf(path);
    return offCountsFit(header, size, problem) && plyCountsFit(header, size, problem);
}
