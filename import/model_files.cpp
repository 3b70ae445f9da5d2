#include "import/model_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

void note(std::string& first, const std::string& path)
{
    if (first.empty()) first = path;
}

}  // namespace

int openWithinBudget(const std::string& path, ByteBudget& budget, uint64_t& size)
{
    struct stat named {};
    if (stat(path.c_str(), &named) != 0) return -1;
    if (!S_ISREG(named.st_mode)) {
        note(budget.notRegular, path);
        return -1;
    }
    // Non-blocking, so that a pipe put in the file's place since the stat cannot hold the open.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        note(budget.notRegular, path);
        close(fd);
        return -1;
    }
    size = static_cast<uint64_t>(opened.st_size);
    const auto id = std::make_pair(opened.st_dev, opened.st_ino);
    if (budget.charged.count(id) == 0) {
        if (size > budget.left) {
            note(budget.exceededAt, path);
            close(fd);
            return -1;
        }
        budget.left -= size;
        budget.charged.insert(id);
    }
    return fd;
}

bool readWithinBudget(const std::string& path, ByteBudget& budget, std::string& bytes, std::string& error)
{
    uint64_t size = 0;
    const int fd = openWithinBudget(path, budget, size);
    if (fd < 0) {
        error = !budget.exceededAt.empty() ? "does not fit in what the model may read"
                : !budget.notRegular.empty() ? "is not a regular file"
                                             : std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    BudgetedFile file(fd, size);
    bytes.resize(static_cast<size_t>(size));
    bytes.resize(file.Read(&bytes[0], 1, bytes.size()));
    return true;
}

BudgetedFile::~BudgetedFile() { close(fd_); }

size_t BudgetedFile::Read(void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0 || position_ >= size_) return 0;
    const uint64_t wanted = std::min<uint64_t>(static_cast<uint64_t>(count), (size_ - position_) / size);
    uint64_t done = 0;
    auto* to = static_cast<char*>(buffer);
    while (done < wanted * size) {
        const ssize_t got = pread(fd_, to + done, static_cast<size_t>(wanted * size - done),
                                  static_cast<off_t>(position_ + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<uint64_t>(got);
    }
    position_ += done;
    return static_cast<size_t>(done / size);
}

aiReturn BudgetedFile::Seek(size_t offset, aiOrigin origin)
{
    const uint64_t base = origin == aiOrigin_SET ? 0 : origin == aiOrigin_CUR ? position_ : size_;
    const uint64_t target = base + offset;
    if (target > size_ || target < base) return aiReturn_FAILURE;
    position_ = target;
    return aiReturn_SUCCESS;
}

// Anything that exists: a directory or pipe in a companion's place is then opened, and refused.
bool BudgetedFiles::Exists(const char* file) const
{
    struct stat info {};
    return file && stat(file, &info) == 0;
}

Assimp::IOStream* BudgetedFiles::Open(const char* file, const char* mode)
{
    if (!file || !mode || std::strpbrk(mode, "wa+")) return nullptr;
    uint64_t size = 0;
    const int fd = openWithinBudget(file, budget_, size);
    return fd < 0 ? nullptr : new BudgetedFile(fd, size);
}
