// The report's destination: plain writes to standard output, or temporary file plus rename.
#include "report_output.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "error.h"

namespace koravel::cli {

namespace {

    [[noreturn]] void throwCannotCreate(const std::string &path, int errnoValue)
    {
        throw Error(cannotCreateFileMessage(path, systemReason(errnoValue)));
    }

    // The mode the file gets: that of the file it replaces, or what a new file would get.
    mode_t modeFor(const std::string &path)
    {
        struct stat target
        {
        };
        if (::stat(path.c_str(), &target) == 0)
            return target.st_mode & 07777;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

} // namespace

ReportOutput::ReportOutput() = default;

ReportOutput::ReportOutput(const std::string &path)
    : m_fd(-1)
    , m_target(path)
{
    // A directory cannot be replaced by the report; say so before anything is written.
    struct stat target
    {
    };
    if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        throwCannotCreate(path, EISDIR);

    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_fd = ::mkstemp(name.data());
    if (m_fd < 0)
        throwCannotCreate(path, errno);
    m_temporary = name.data();
    if (::fchmod(m_fd, modeFor(path)) != 0) {
        const int failure = errno;
        discardTemporary();
        throwCannotCreate(path, failure);
    }
}

ReportOutput::~ReportOutput()
{
    discardTemporary();
}

void ReportOutput::write(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw Error(std::string(kStreamWriteError));
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void ReportOutput::commit()
{
    if (m_temporary.empty())
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        discardTemporary();
        throw Error(std::string(kStreamWriteError));
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int failure = errno;
        discardTemporary();
        throwCannotCreate(m_target, failure);
    }
    m_temporary.clear();
}

void ReportOutput::discardTemporary()
{
    if (m_temporary.empty())
        return;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

} // namespace koravel::cli
