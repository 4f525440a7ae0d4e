#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

OutputFile::~OutputFile() {
    if (m_fd >= 0) close(m_fd);
    if (!m_temporary.empty()) unlink(m_temporary.c_str());
}

bool OutputFile::Fail(std::string& error, int code) {
    error = m_path + ": " + std::strerror(code);
    return false;
}

bool OutputFile::Open(const std::string& path, std::string& error) {
    m_path = m_target = path;
    struct stat st {};
    const bool exists = stat(path.c_str(), &st) == 0;
    // A device or a pipe, or a link that leads nowhere yet: nothing there to keep.
    struct stat link {};
    if ((exists && !S_ISREG(st.st_mode)) || (!exists && lstat(path.c_str(), &link) == 0)) {
        m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        return m_fd >= 0 || Fail(error, errno);
    }
    if (exists) {
        const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
        if (!real) return Fail(error, errno);
        m_target = real.get();
    }
    const std::size_t slash = m_target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    std::string name = dir + ".kindlewick-sim-XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    m_fd = mkstemp(buffer.data());
    if (m_fd < 0) return Fail(error, errno);
    m_temporary = buffer.data();
    // The mode a file made afresh would have, or the one of the file it replaces.
    mode_t mode = st.st_mode & 07777;
    if (!exists) {
        mode = umask(0);
        umask(mode);
        mode = 0666 & ~mode;
    }
    return fchmod(m_fd, mode) == 0 || Fail(error, errno);
}

bool OutputFile::Write(const void* data, std::size_t size, std::string& error) {
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(m_fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(error, errno);
        if (n == 0) return Fail(error, EIO);
        done += std::size_t(n);
    }
    return true;
}

bool OutputFile::Commit(std::string& error) {
    // A device may not sync; only a file that is to replace another must be on the disk first.
    if (!m_temporary.empty() && fsync(m_fd) != 0) return Fail(error, errno);
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) return Fail(error, errno);
    if (m_temporary.empty()) return true;
    if (rename(m_temporary.c_str(), m_target.c_str()) != 0) return Fail(error, errno);
    m_temporary.clear();
    return true;
}
