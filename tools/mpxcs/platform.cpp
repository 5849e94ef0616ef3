#include "platform.hpp"

#include <sys/stat.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>
#endif

namespace mpxcs {
namespace {

long long read_buffered(std::FILE *file, char *buffer, std::size_t size) {
    std::size_t count = std::fread(buffer, 1, size, file);
    return count == 0 && std::ferror(file) ? -1 : static_cast<long long>(count);
}

} // namespace

bool stderr_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

long long regular_file_size(std::FILE *file) {
#ifdef _WIN32
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFREG) == 0)
        return -1;
#else
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
#endif
    return static_cast<long long>(info.st_size);
}

long long read_some(std::FILE *file, char *buffer, std::size_t size) {
#ifdef _WIN32
    if (_fileno(file) < 0) // a stream without a descriptor (in memory)
        return read_buffered(file, buffer, size);
    constexpr std::size_t kMaxRead = 1u << 30; // _read takes an unsigned int
    return _read(_fileno(file), buffer, static_cast<unsigned>(size < kMaxRead ? size : kMaxRead));
#else
    if (fileno(file) < 0) // a stream without a descriptor (fmemopen)
        return read_buffered(file, buffer, size);
    for (;;) {
        ssize_t count = read(fileno(file), buffer, size);
        if (count >= 0 || errno != EINTR)
            return count;
    }
#endif
}

bool is_directory(std::FILE *file) {
#ifdef _WIN32
    struct _stat64 info;
    return _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFDIR) != 0;
#else
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

std::string executable_dir() {
    std::string path;
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        path.assign(buffer, length);
#elif defined(__linux__)
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0)
        path.assign(buffer, static_cast<std::size_t>(length));
#endif
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool set_environment(const char *name, const char *value) {
#ifdef _WIN32
    return _putenv_s(name, value) == 0;
#else
    return setenv(name, value, 1) == 0;
#endif
}

bool file_exists(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void use_binary_stdio() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace mpxcs
