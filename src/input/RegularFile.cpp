#include "input/RegularFile.h"

#include "core/RunError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {

namespace {

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
    struct stat st {};
    if (path.empty())
        throw runError(ErrorNumber::FileNotFound);
    if (::stat(path.c_str(), &st) != 0)
        throw openError(errno);
    // A folder is the one such path a user gives on purpose: say what to do.
    if (S_ISDIR(st.st_mode))
        throw RunError(ErrorNumber::PathInvalid,
                       u"フォルダは検査できません。検査するファイルを選んでください。");
    if (!S_ISREG(st.st_mode))
        throw runError(ErrorNumber::PathInvalid);
    // Non-blocking open: should the path have become a FIFO since the test
    // above, opening it must not wait for a writer.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        throw openError(errno);
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
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
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw runError(ErrorNumber::DeviceIo);
    }
}

void RegularFile::seek(std::int64_t offset) {
    if (m_fd < 0 || ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
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
