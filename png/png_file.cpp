#include "png/png_file.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The picture goes first to this name, beside the output.
const char kPartialSuffix[] = ".partial";

// What the PNG writer learnt before it gave up: the system's reason for a failed write (a full
// disk, a file-size limit), or libpng's own message. libpng's default handlers would print to
// standard error themselves and lose errno.
struct WriteState {
    FILE* file = nullptr;
    int writeErrno = 0;
    std::string message;
};

void writeBytes(png_structp png, png_bytep data, size_t length)
{
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, state->file) != length) {
        state->writeErrno = errno;
        png_error(png, "write failed");
    }
}

void flushBytes(png_structp png)
{
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    if (std::fflush(state->file) != 0) {
        state->writeErrno = errno;
        png_error(png, "write failed");
    }
}

[[noreturn]] void stopWriting(png_structp png, png_const_charp message)
{
    static_cast<WriteState*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

}  // namespace

bool canWriteFile(const std::string& path, std::string& error)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "output '" + path + "' is a directory";
            return false;
        }
        // The picture is renamed over the output, which would replace a device such as /dev/null
        // or a pipe with a plain file.
        if (!S_ISREG(info.st_mode)) {
            error = "output '" + path + "' is not a regular file";
            return false;
        }
        if (access(path.c_str(), W_OK) != 0) {
            error = "output '" + path + "' is not writable: " + std::strerror(errno);
            return false;
        }
    }
    const std::string folder = folderOf(path);
    if (stat(folder.c_str(), &info) != 0) {
        error = "output folder '" + folder + "' does not exist";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = "output folder '" + folder + "' is not a folder";
        return false;
    }
    // A name that fits only without the suffix would fail after all the drawing is done.
    const std::string name = nameOf(path);
    const size_t suffix = sizeof kPartialSuffix - 1;
    const long longestName = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longestName > static_cast<long>(suffix) && name.size() + suffix > static_cast<size_t>(longestName)) {
        error = "output name '" + name + "' is too long: " + std::to_string(longestName - static_cast<long>(suffix)) +
                " characters at most, to leave room for '" + kPartialSuffix + "'";
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "output folder '" + folder + "' is not writable: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool writePng(const std::string& path, const RgbImage& image, std::string& error)
{
    const std::string temporary = path + kPartialSuffix;
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot create '" + temporary + "': " + std::strerror(errno);
        return false;
    }
    // On the heap: what the handlers change after setjmp must not live in this function's frame.
    const auto state = std::make_unique<WriteState>();
    state->file = file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), stopWriting, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        error = "out of memory for the PNG writer";
        std::remove(temporary.c_str());
        return false;
    }
    // libpng reports its errors by longjmp; nothing with a destructor lives between here and there.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = "writing '" + path + "' failed: " +
                (state->writeErrno != 0 ? std::strerror(state->writeErrno) : state->message.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    png_set_write_fn(png, state.get(), writeBytes, flushBytes);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + static_cast<size_t>(y) * image.width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "writing '" + path + "' failed: " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool readPng(const std::string& path, RgbImage& image, std::string& error)
{
    png_image reader;
    std::memset(&reader, 0, sizeof reader);
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path.c_str())) {
        error = "cannot read '" + path + "': " + reader.message;
        return false;
    }
    reader.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(reader.width);
    image.height = static_cast<int>(reader.height);
    image.pixels.assign(PNG_IMAGE_SIZE(reader), 0);
    if (!png_image_finish_read(&reader, nullptr, image.pixels.data(), 0, nullptr)) {
        error = "cannot decode '" + path + "': " + reader.message;
        png_image_free(&reader);
        return false;
    }
    return true;
}
