#include "input/RegularFile.h"

#include "core/RunError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <climits>
#include <io.h>
#endif

namespace morvane {

namespace {

#ifdef _WIN32
// Wide-character names, as Windows keeps them, and binary mode: text mode
// would turn CR LF into LF and end the file at the first Ctrl-Z. Windows
// has no FIFO to wait on.
using FileStatus = struct _stat64;
int statusOf(const std::filesystem::path& path, FileStatus& st) {
    return ::_wstat64(path.c_str(), &st);
}
int openForReading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int statusOf(int fd, FileStatus& st) {
    return ::_fstat64(fd, &st);
}
long long readSome(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}
bool seekTo(int fd, std::int64_t offset) {
    return ::_lseeki64(fd, offset, SEEK_SET) >= 0;
}
#else
using FileStatus = struct stat;
int statusOf(const std::filesystem::path& path, FileStatus& st) {
    return ::stat(path.c_str(), &st);
}
// Non-blocking: should the path have become a FIFO since it was looked at,
// opening it must not wait for a writer.
int openForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
int statusOf(int fd, FileStatus& st) {
    return ::fstat(fd, &st);
}
long long readSome(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
bool seekTo(int fd, std::int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}
#endif

RunError openError(int error) {
    switch (error) {
    case ENOENT:
        return runError(ErrorNumber::FileNotFound);
    case EACCES:
    case EPERM:
        return runError(ErrorNumber::PermissionDenied);
    default:
        return runError(ErrorNumber::PathInvalid);
    }
}

} // namespace

RegularFile::RegularFile(const std::filesystem::path& path) {
    FileStatus st{};
    if (path.empty())
        throw runError(ErrorNumber::FileNotFound);
    if (statusOf(path, st) != 0)
        throw openError(errno);
    // A folder is the one such path a user gives on purpose: say what to do.
    if (S_ISDIR(st.st_mode))
        throw RunError(ErrorNumber::PathInvalid,
                       u"フォルダは検査できません。検査するファイルを選んでください。");
    if (!S_ISREG(st.st_mode))
        throw runError(ErrorNumber::PathInvalid);
    m_fd = openForReading(path);
    if (m_fd < 0)
        throw openError(errno);
    if (statusOf(m_fd, st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        throw runError(ErrorNumber::PathInvalid);
    }
}

RegularFile::~RegularFile() {
    close();
}

std::size_t RegularFile::read(char* buffer, std::size_t size) {
    if (m_fd < 0)
        return 0;
    for (;;) {
        const long long n = readSome(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw runError(ErrorNumber::DeviceIo);
    }
}

void RegularFile::seek(std::int64_t offset) {
    if (m_fd < 0 || !seekTo(m_fd, offset))
        throw runError(ErrorNumber::DeviceIo);
}

int RegularFile::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void RegularFile::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace morvane
