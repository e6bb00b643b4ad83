// The system interface on Linux and other POSIX systems.
#include "platform/system.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <csignal>
#include <cstring>
#include <fstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace koravel::platform {

namespace {

    // Whether this process holds a capability (its bit: CAP_FOWNER 3, CAP_SYS_RESOURCE 24) in its
    // effective set; false when unknown.
    bool holdsCapability(int capability)
    {
        std::FILE *status = std::fopen("/proc/self/status", "r");
        if (status == nullptr)
            return false;
        char line[256];
        unsigned long long effective = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr)
            found = std::sscanf(line, "CapEff: %llx", &effective) == 1;
        std::fclose(status);
        return found && (effective >> capability & 1) != 0;
    }

    FileKind kindOf(const struct stat &status)
    {
        return S_ISREG(status.st_mode) ? FileKind::Regular
            : S_ISDIR(status.st_mode)  ? FileKind::Directory
                                       : FileKind::Other;
    }

} // namespace

std::filesystem::path toPath(const std::string &utf8)
{
    return utf8;
}

std::string fromPath(const std::filesystem::path &path)
{
    return path.string();
}

FileKind fileKind(const std::string &path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 ? kindOf(status) : FileKind::Missing;
}

bool isDanglingLink(const std::string &path)
{
    struct stat link = {};
    struct stat target = {};
    return ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)
        && ::stat(path.c_str(), &target) != 0;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat first = {};
    struct stat second = {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool mayWrite(const std::string &path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

ReadableFile openForReading(const std::string &path)
{
    // Opened without waiting, so that a pipe with no writer cannot hold the program forever.
    ReadableFile opened;
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == 0)
            errno = ENOENT;
        return opened;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return opened;
    }
    opened.kind = kindOf(status);
    opened.size = static_cast<std::uint64_t>(status.st_size);
    if (opened.kind != FileKind::Regular) {
        ::close(fd);
        return opened;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    opened.file = ::fdopen(fd, "rb");
    if (opened.file == nullptr) {
        const int error = errno ? errno : EIO;
        ::close(fd);
        errno = error;
        opened.kind = FileKind::Missing;
    }
    return opened;
}

int createNewFile(const std::string &path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int openForWriting(const std::string &path)
{
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
}

void keepOwnerAndMode(int fd, const std::string &replaced)
{
    struct stat existing = {};
    if (::stat(replaced.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode))
        return;
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
        // Refused to anyone but root: the new file is then this user's.
        [[maybe_unused]] const int kept = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
    ::fchmod(fd, existing.st_mode & 07777);
}

bool ownerOnlyRenames(const std::string &folder, const std::string &file)
{
    struct stat existing = {};
    struct stat folderStatus = {};
    constexpr int kCapFowner = 3;
    return ::stat(file.c_str(), &existing) == 0 && ::stat(folder.c_str(), &folderStatus) == 0
        && (folderStatus.st_mode & S_ISVTX) && existing.st_uid != ::geteuid()
        && folderStatus.st_uid != ::geteuid() && !holdsCapability(kCapFowner);
}

long long writeSome(int fd, const char *data, std::size_t size)
{
    for (;;) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        return written;
    }
}

void startWriteOut([[maybe_unused]] int fd, [[maybe_unused]] std::uint64_t from,
    [[maybe_unused]] std::uint64_t bytes)
{
#ifdef __linux__
    ::sync_file_range(
        fd, static_cast<off_t>(from), static_cast<off_t>(bytes), SYNC_FILE_RANGE_WRITE);
#endif
}

bool syncAndClose(int fd)
{
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

bool closeFile(int fd)
{
    return ::close(fd) == 0;
}

bool linkFile(const std::string &existing, const std::string &newName)
{
    return ::link(existing.c_str(), newName.c_str()) == 0;
}

bool replaceFile(const std::string &from, const std::string &to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const char *path) noexcept
{
    return ::unlink(path) == 0;
}

void syncFolder(const std::string &folder)
{
    const int folderFd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

std::vector<std::string> folderEntries(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *directory = ::opendir(folder.c_str());
    if (directory == nullptr)
        return names;
    while (const dirent *entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(directory);
    return names;
}

bool isOwnRegularFile(const std::string &path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
        && status.st_uid == ::geteuid();
}

long processId()
{
    return ::getpid();
}

bool processGone(long pid)
{
    // A process of another user answers EPERM: it is alive.
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::optional<std::uint64_t> freeBytesBeside(int fd)
{
    struct statvfs space = {};
    if (::fstatvfs(fd, &space) != 0)
        return std::nullopt;
    // The kernel lets a writer into the blocks kept back for the administrator when it holds
    // CAP_SYS_RESOURCE; root without it (a container, a service with its capabilities dropped)
    // may not, whatever its user id.
    constexpr int kCapSysResource = 24;
    const auto blocks =
        std::uint64_t(holdsCapability(kCapSysResource) ? space.f_bfree : space.f_bavail);
    return blocks * std::uint64_t(space.f_frsize);
}

bool isRegularFile(int fd)
{
    struct stat status = {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::uint64_t> physicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::nullopt;
    return std::uint64_t(pages) * std::uint64_t(pageSize);
}

std::optional<std::uint64_t> availableMemory()
{
    // What the kernel reckons can be had without swapping.
    std::ifstream meminfo("/proc/meminfo");
    std::string key, unit;
    std::uint64_t kilobytes = 0;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:")
            return kilobytes * 1024;
    }
    return std::nullopt;
}

bool readExtended(const std::string &text, long double &value)
{
    long double parsed = 0.0L;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc())
        return false;
    value = parsed;
    return true;
}

std::string decimalSymbol()
{
    // Ask the environment's locale (the empty name) without leaving it set: the process keeps
    // its own LC_NUMERIC, so no C library call elsewhere changes its behaviour.
    const char *current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = current ? current : "C";
    if (!std::setlocale(LC_NUMERIC, ""))
        return "";
    const std::lconv *conv = std::localeconv();
    std::string symbol = conv && conv->decimal_point ? conv->decimal_point : "";
    std::setlocale(LC_NUMERIC, saved.c_str());
    return symbol;
}

void prepareStandardStreams() noexcept
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number, which is this one.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

int silenceStandardError()
{
    const int savedError = ::dup(STDERR_FILENO);
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedError >= 0 && quiet >= 0)
        ::dup2(quiet, STDERR_FILENO);
    if (quiet >= 0)
        ::close(quiet);
    return savedError;
}

void restoreStandardError(int saved)
{
    if (saved >= 0) {
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
    }
}

std::string standardOutputName()
{
    std::error_code error;
    const std::filesystem::path name = std::filesystem::read_symlink("/proc/self/fd/1", error);
    return error ? std::string("/dev/stdout") : name.string();
}

bool writeToConsole(int, std::string_view)
{
    return false;
}

std::vector<std::string> arguments(int argc, char **argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

namespace {

    void (*g_cleanUp)() noexcept = nullptr;
    const char *g_fileSizeLimitMessage = "";

    void cleanUpAndStop(int signalNumber)
    {
        g_cleanUp();
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }

    void cleanUpAfterClosedPipe(int)
    {
        g_cleanUp();
        ::_exit(1);
    }

    void cleanUpAfterFileSizeLimit(int)
    {
        g_cleanUp();
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, g_fileSizeLimitMessage, std::strlen(g_fileSizeLimitMessage));
        ::_exit(1);
    }

    void handle(int signalNumber, void (*handler)(int))
    {
        struct sigaction action = {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(signalNumber, &action, nullptr);
    }

} // namespace

void onInterruption(void (*cleanUp)() noexcept, const char *fileSizeLimitMessage)
{
    g_cleanUp = cleanUp;
    g_fileSizeLimitMessage = fileSizeLimitMessage;
    for (const int signalNumber : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction action = {};
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        handle(signalNumber, cleanUpAndStop);
    }
    handle(SIGPIPE, cleanUpAfterClosedPipe);
    handle(SIGXFSZ, cleanUpAfterFileSizeLimit);
}

} // namespace koravel::platform
