#pragma once

#include <sys/types.h>

#include <assimp/IOStream.hpp>
#include <assimp/IOSystem.hpp>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "import/model_limits.h"

// One allowance of bytes for everything a model reads. Each distinct file is charged its whole size
// the first time it is opened, before a byte is read: importers size their buffers by the file, so
// a sparse 3 GiB companion must be refused before anyone allocates for it. Opening it again is free.
struct ByteBudget {
    uint64_t left = kModelByteBudget;
    std::set<std::pair<dev_t, ino_t>> charged;
    std::string exceededAt;  // the first file that did not fit
    std::string notRegular;  // the first file named that is a directory, device or pipe
};

// A descriptor open on `path` when it is a regular file that fits in the budget, its size in
// `size`; -1 otherwise, the budget noting a file that did not fit or was not a regular file. Never
// waits: a named pipe is refused rather than opened for reading.
int openWithinBudget(const std::string& path, ByteBudget& budget, uint64_t& size);

// The whole of `path` into `bytes` through the budget; false with `error` saying why not.
bool readWithinBudget(const std::string& path, ByteBudget& budget, std::string& bytes, std::string& error);

// The library's file access for one model, every open going through the budget.
class BudgetedFile : public Assimp::IOStream {
public:
    BudgetedFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~BudgetedFile() override;
    BudgetedFile(const BudgetedFile&) = delete;
    BudgetedFile& operator=(const BudgetedFile&) = delete;

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void*, size_t, size_t) override { return 0; }
    aiReturn Seek(size_t offset, aiOrigin origin) override;
    size_t Tell() const override { return static_cast<size_t>(position_); }
    size_t FileSize() const override { return static_cast<size_t>(size_); }
    void Flush() override {}

private:
    int fd_;
    uint64_t size_;  // as opened: a file growing meanwhile is read no further
    uint64_t position_ = 0;
};

class BudgetedFiles : public Assimp::IOSystem {
public:
    explicit BudgetedFiles(ByteBudget& budget) : budget_(budget) {}

    bool Exists(const char* file) const override;
    char getOsSeparator() const override { return '/'; }
    Assimp::IOStream* Open(const char* file, const char* mode) override;
    void Close(Assimp::IOStream* file) override { delete file; }

private:
    ByteBudget& budget_;
};
