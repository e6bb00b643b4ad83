// Saving the report: the bytes go to a temporary file beside the target, which replaces the
// target only once every byte is on disk, so a failed save keeps the old file.
#include "report_file.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data_file.h"
#include "error.h"

namespace {

// Closes and removes the temporary file unless the save went through.
class TemporaryFile
{
public:
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    int fd() const { return m_fd; }
    const std::string &path() const { return m_path; }

    // Creates a new file with a name of its own in folder; errno tells why when it fails.
    bool create(const std::string &folder, const std::string &name)
    {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string path =
                folder + "/." + name + "." + std::to_string(random() % 1000000) + ".tmp";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_fd = fd;
                m_path = path;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    // The file is written and closed; errno tells why when it fails.
    bool closeFile()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

    // After the rename the temporary name is gone and nothing remains to remove.
    void release() { m_path.clear(); }

private:
    int m_fd = -1;
    std::string m_path;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

namespace koravel {

void saveReportFile(const std::string &path, std::string_view bytes)
{
    const std::string shownPath = fullPath(path);
    const std::filesystem::path target = linkTarget(shownPath);
    const std::string targetPath = target.string();
    const std::string folder = target.parent_path().string();
    const std::string name = target.filename().string();
    if (name.empty())
        throw Error(cannotCreateFileMessage(shownPath, systemReason(EISDIR)));

    // A file the user may not write is not replaced behind its back.
    if (::access(targetPath.c_str(), F_OK) == 0 && ::access(targetPath.c_str(), W_OK) != 0)
        throw Error(cannotCreateFileMessage(shownPath, systemReason(errno)));

    TemporaryFile temporary;
    if (!temporary.create(folder.empty() ? std::string("/") : folder, name))
        throw Error(cannotCreateFileMessage(shownPath, systemReason(errno)));

    // A file replaced keeps its permissions; a new one gets the usual ones.
    struct stat existing = {};
    if (::stat(targetPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(temporary.fd(), existing.st_mode & 07777);

    if (!writeAll(temporary.fd(), bytes) || ::fsync(temporary.fd()) != 0 || !temporary.closeFile())
        throw Error(std::string(kStreamWriteError));

    if (::rename(temporary.path().c_str(), targetPath.c_str()) != 0)
        throw Error(cannotCreateFileMessage(shownPath, systemReason(errno)));
    temporary.release();

    // The new name is made durable too; a folder that refuses this loses nothing.
    const int folderFd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

std::string savedMessage(std::string_view path)
{
    return "Dados salvos com sucesso em " + std::string(path);
}

} // namespace koravel
