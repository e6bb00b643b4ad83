// The system interface on Windows: wide-character calls for every path, so that any name the
// user gives works whatever the code page; descriptors of the C runtime over Windows handles.
#include "platform/system.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace koravel::platform {

namespace {

    std::wstring wide(std::string_view utf8)
    {
        if (utf8.empty())
            return {};
        const int size = ::MultiByteToWideChar(
            CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring text(static_cast<std::size_t>(size), L'\0');
        ::MultiByteToWideChar(
            CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
        return text;
    }

    std::string narrow(std::wstring_view text)
    {
        if (text.empty())
            return {};
        const int size = ::WideCharToMultiByte(
            CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
            size, nullptr, nullptr);
        return utf8;
    }

    // The last Windows error as the errno value whose words systemReason() gives.
    int errnoOfLastError()
    {
        switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_INVALID_NAME:
        case ERROR_DIRECTORY:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        default:
            return EIO;
        }
    }

    bool failed()
    {
        errno = errnoOfLastError();
        return false;
    }

    // A handle that only asks about a file (or a folder), closed at the end of its scope.
    class Query
    {
    public:
        explicit Query(const std::string &path)
            : m_handle(::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                FILE_FLAG_BACKUP_SEMANTICS, nullptr))
        {
            if (m_handle == INVALID_HANDLE_VALUE)
                errno = errnoOfLastError();
        }
        ~Query()
        {
            if (m_handle != INVALID_HANDLE_VALUE)
                ::CloseHandle(m_handle);
        }
        Query(const Query &) = delete;
        Query &operator=(const Query &) = delete;
        HANDLE handle() const { return m_handle; }

    private:
        HANDLE m_handle;
    };

    FileKind kindOf(HANDLE handle)
    {
        if (::GetFileType(handle) != FILE_TYPE_DISK)
            return FileKind::Other;
        BY_HANDLE_FILE_INFORMATION information = {};
        if (!::GetFileInformationByHandle(handle, &information))
            return failed(), FileKind::Missing;
        return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory
                                                                         : FileKind::Regular;
    }

    // The path of an open file, without the "\\?\" the system puts before it.
    std::wstring pathOf(HANDLE handle)
    {
        wchar_t buffer[32768];
        const DWORD size = ::GetFinalPathNameByHandleW(handle, buffer, 32768, FILE_NAME_NORMALIZED);
        if (size == 0 || size >= 32768)
            return {};
        std::wstring path(buffer, size);
        if (path.starts_with(L"\\\\?\\UNC\\"))
            return L"\\" + path.substr(7);
        if (path.starts_with(L"\\\\?\\"))
            return path.substr(4);
        return path;
    }

    int descriptorOf(HANDLE handle, int flags)
    {
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
        if (fd < 0) {
            ::CloseHandle(handle);
            errno = EMFILE;
        }
        return fd;
    }

    HANDLE handleOf(int fd)
    {
        return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    }

} // namespace

std::filesystem::path toPath(const std::string &utf8)
{
    return std::filesystem::path(wide(utf8));
}

std::string fromPath(const std::filesystem::path &path)
{
    return narrow(path.wstring());
}

FileKind fileKind(const std::string &path)
{
    const Query query(path);
    return query.handle() == INVALID_HANDLE_VALUE ? FileKind::Missing : kindOf(query.handle());
}

bool isDanglingLink(const std::string &path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    const Query query(path);
    return query.handle() == INVALID_HANDLE_VALUE;
}

bool sameFile(const std::string &a, const std::string &b)
{
    const Query first(a);
    const Query second(b);
    BY_HANDLE_FILE_INFORMATION one = {};
    BY_HANDLE_FILE_INFORMATION other = {};
    return first.handle() != INVALID_HANDLE_VALUE && second.handle() != INVALID_HANDLE_VALUE
        && ::GetFileInformationByHandle(first.handle(), &one)
        && ::GetFileInformationByHandle(second.handle(), &other)
        && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber
        && one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

bool mayWrite(const std::string &path)
{
    return ::_waccess(wide(path).c_str(), 2) == 0;
}

ReadableFile openForReading(const std::string &path)
{
    // A pipe's name opens at once or not at all: nothing here waits for a writer.
    ReadableFile opened;
    const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failed(), opened;
    opened.kind = kindOf(handle);
    LARGE_INTEGER size = {};
    if (opened.kind == FileKind::Regular && ::GetFileSizeEx(handle, &size))
        opened.size = static_cast<std::uint64_t>(size.QuadPart);
    if (opened.kind != FileKind::Regular) {
        ::CloseHandle(handle);
        return opened;
    }
    const int fd = descriptorOf(handle, _O_RDONLY);
    opened.file = fd < 0 ? nullptr : ::_fdopen(fd, "rb");
    if (opened.file == nullptr) {
        if (fd >= 0)
            ::_close(fd);
        opened.kind = FileKind::Missing;
    }
    return opened;
}

int createNewFile(const std::string &path)
{
    // Shared for deletion, so that the end of an interrupted run can remove it while it is open.
    const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failed(), -1;
    return descriptorOf(handle, _O_WRONLY);
}

int openForWriting(const std::string &path)
{
    const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failed(), -1;
    return descriptorOf(handle, _O_WRONLY);
}

void keepOwnerAndMode(int, const std::string &)
{
    // The replacement takes the folder's permissions, as any new file there; a read-only file
    // was refused before (mayWrite).
}

bool ownerOnlyRenames(const std::string &, const std::string &)
{
    return false;
}

long long writeSome(int fd, const char *data, std::size_t size)
{
    DWORD written = 0;
    const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!::WriteFile(handleOf(fd), data, piece, &written, nullptr))
        return failed(), -1;
    return written;
}

void startWriteOut(int, std::uint64_t, std::uint64_t) { }

bool syncAndClose(int fd)
{
    const bool synced = ::FlushFileBuffers(handleOf(fd)) != 0;
    return ::_close(fd) == 0 && synced;
}

bool closeFile(int fd)
{
    return ::_close(fd) == 0;
}

bool linkFile(const std::string &existing, const std::string &newName)
{
    return ::CreateHardLinkW(wide(newName).c_str(), wide(existing).c_str(), nullptr) != 0
        || failed();
}

bool replaceFile(const std::string &from, const std::string &to)
{
    // MoveFileExW over the old file is one rename on NTFS, on disk when it returns. ReplaceFileW
    // is not used: some of its failures leave neither the old name nor the new one.
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
        != 0
        || failed();
}

bool removeFile(const char *path) noexcept
{
    try {
        return ::DeleteFileW(wide(path).c_str()) != 0 || failed();
    } catch (...) {
        return false;
    }
}

void syncFolder(const std::string &)
{
    // The rename was written through already.
}

std::vector<std::string> folderEntries(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry = {};
    const HANDLE search = ::FindFirstFileW((wide(folder) + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(narrow(name));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return names;
}

bool isOwnRegularFile(const std::string &path)
{
    // A folder of the user's own holds the user's files; links and folders are left alone.
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES
        && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

long processId()
{
    return static_cast<long>(::GetCurrentProcessId());
}

bool processGone(long pid)
{
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    ::CloseHandle(process);
    return ended;
}

std::optional<std::uint64_t> freeBytesBeside(int fd)
{
    std::wstring folder = pathOf(handleOf(fd));
    const std::size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::nullopt;
    folder.resize(slash + 1);
    // What this user may write, quotas included.
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return static_cast<std::uint64_t>(available.QuadPart);
}

bool isRegularFile(int fd)
{
    const HANDLE handle = handleOf(fd);
    return handle != INVALID_HANDLE_VALUE && kindOf(handle) == FileKind::Regular;
}

std::optional<std::uint64_t> physicalMemory()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return static_cast<std::uint64_t>(status.ullTotalPhys);
}

std::optional<std::uint64_t> availableMemory()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return static_cast<std::uint64_t>(status.ullAvailPhys);
}

bool readExtended(const std::string &text, long double &value)
{
    // The C++ library's from_chars stops at the double range here; MinGW's own strtold reads the
    // whole extended range (the text has no decimal point, so no locale takes part).
    errno = 0;
    char *end = nullptr;
    const long double parsed = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size() || text.empty())
        return false;
    if (errno == ERANGE && (std::isinf(parsed) || parsed == 0.0L))
        return false;
    value = parsed;
    return true;
}

std::string decimalSymbol()
{
    wchar_t symbol[8] = {};
    const int size = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, symbol, 8);
    if (size <= 1)
        return "";
    // One character of the single-byte text, or the symbol as it is (refused as longer).
    if (size == 2 && symbol[0] < 0x100)
        return std::string(1, static_cast<char>(symbol[0]));
    return narrow(std::wstring_view(symbol, static_cast<std::size_t>(size - 1)));
}

void prepareStandardStreams() noexcept
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) == -1) {
            const int opened = ::_open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
            if (opened >= 0 && opened != fd) {
                ::_dup2(opened, fd);
                ::_close(opened);
            }
        }
        ::_setmode(fd, _O_BINARY);
    }
}

int silenceStandardError()
{
    std::fflush(stderr);
    const int savedError = ::_dup(2);
    const int quiet = ::_open("NUL", _O_WRONLY);
    if (savedError >= 0 && quiet >= 0)
        ::_dup2(quiet, 2);
    if (quiet >= 0)
        ::_close(quiet);
    return savedError;
}

void restoreStandardError(int saved)
{
    std::fflush(stderr);
    if (saved >= 0) {
        ::_dup2(saved, 2);
        ::_close(saved);
    }
}

std::string standardOutputName()
{
    const std::wstring path = pathOf(::GetStdHandle(STD_OUTPUT_HANDLE));
    return path.empty() ? std::string("/dev/stdout") : narrow(path);
}

bool writeToConsole(int fd, std::string_view utf8)
{
    const HANDLE handle = ::GetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode))
        return false;
    const std::wstring text = wide(utf8);
    DWORD written = 0;
    ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return true;
}

std::vector<std::string> arguments(int argc, char **argv)
{
    int count = 0;
    wchar_t **wideArguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wideArguments == nullptr)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(narrow(wideArguments[i]));
    ::LocalFree(wideArguments);
    return result;
}

namespace {

    void (*g_cleanUp)() noexcept = nullptr;

    // Runs on a thread of its own; the process ends here as Ctrl-C would have ended it.
    BOOL WINAPI cleanUpAndStop(DWORD)
    {
        g_cleanUp();
        ::ExitProcess(STATUS_CONTROL_C_EXIT);
        return TRUE;
    }

} // namespace

void onInterruption(void (*cleanUp)() noexcept, const char *)
{
    // A closed pipe makes the write fail, and the run ends with status 1 through its error; no
    // file-size limit exists.
    g_cleanUp = cleanUp;
    ::SetConsoleCtrlHandler(cleanUpAndStop, TRUE);
}

} // namespace koravel::platform
