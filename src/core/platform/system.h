// What the core and the command line ask of the operating system, in one small interface with a
// POSIX implementation (system_posix.cpp) and a Windows one (system_windows.cpp). Nothing else
// knows which system it runs on. Paths are UTF-8 text on both ("relatório ç.txt" works on
// Windows through the wide-character calls). A call that fails returns false, -1 or nullptr and
// leaves the reason in errno, which systemReason() turns into words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koravel::platform {

// --- Paths -------------------------------------------------------------------------------------

// A UTF-8 name as the standard library's path, and back: "relatório.txt" <-> L"relatório.txt" on
// Windows; the bytes as they are on POSIX.
std::filesystem::path toPath(const std::string &utf8);
std::string fromPath(const std::filesystem::path &path);

// --- Files -------------------------------------------------------------------------------------

enum class FileKind {
    Missing, // or unreachable; errno says why
    Regular,
    Directory,
    Other // a device, a pipe, a socket
};

// What a path names, through any link.
FileKind fileKind(const std::string &path);
// A link whose file cannot be reached (it leads nowhere, or round in a circle); errno says why.
bool isDanglingLink(const std::string &path);
// Whether two paths name one existing file, through any link or hard link.
bool sameFile(const std::string &a, const std::string &b);
// Whether this user may write the existing file.
bool mayWrite(const std::string &path);

// A file opened for reading without waiting on a pipe with no writer. file is null when it could
// not be opened (errno set) and when kind is not Regular (nothing is read from a folder, a pipe
// or a device); size is the file's length when it was opened.
struct ReadableFile
{
    std::FILE *file = nullptr;
    FileKind kind = FileKind::Missing;
    std::uint64_t size = 0;
};
ReadableFile openForReading(const std::string &path);

// A new file, refused (EEXIST) when the name is taken. The descriptor is not inherited by
// programs this one starts.
int createNewFile(const std::string &path);
// An existing device or pipe, for writing.
int openForWriting(const std::string &path);
// The new file takes the owner (where the process may give it away) and the permissions of the
// file it will replace.
void keepOwnerAndMode(int fd, const std::string &replaced);
// Whether file, in folder, is another user's in a folder where only owners may rename (the
// sticky bit, as in /tmp), so that this process could not replace it.
bool ownerOnlyRenames(const std::string &folder, const std::string &file);
// Some of the bytes (retrying an interrupted call): how many, or -1.
long long writeSome(int fd, const char *data, std::size_t size);
// Asks the disk to start on bytes already written, without waiting for them.
void startWriteOut(int fd, std::uint64_t from, std::uint64_t bytes);
// Every byte on disk, then the descriptor closed; false when either failed.
bool syncAndClose(int fd);
bool closeFile(int fd);
// A second name for an existing file (a hard link); false where the file system has none.
bool linkFile(const std::string &existing, const std::string &newName);
// Renames from over to at once: to is either the old file or the new one, never neither, and the
// change is on disk when it returns.
bool replaceFile(const std::string &from, const std::string &to);
// Safe to call from a signal handler on POSIX.
bool removeFile(const char *path) noexcept;
// Puts a folder's latest renames on disk.
void syncFolder(const std::string &folder);
// The names in a folder (not "." or ".."); empty when it cannot be read.
std::vector<std::string> folderEntries(const std::string &folder);
// A regular file of this user, not a link.
bool isOwnRegularFile(const std::string &path);

// --- Processes ---------------------------------------------------------------------------------

long processId();
// True only when no process has this number (one of another user's is alive).
bool processGone(long pid);

// --- Space and memory --------------------------------------------------------------------------

// The free space of the file system that holds the open file fd, for a writer of this process's
// privileges: on Linux the blocks kept for the administrator count only when the process holds
// CAP_SYS_RESOURCE (root alone is not enough). Nothing when it cannot be learnt.
std::optional<std::uint64_t> freeBytesBeside(int fd);
// Whether the open file fd is a regular file on a disk (not a terminal, a pipe or a device).
bool isRegularFile(int fd);
std::optional<std::uint64_t> physicalMemory();
// What can be had now without swapping.
std::optional<std::uint64_t> availableMemory();

// --- Numbers -----------------------------------------------------------------------------------

// Reads "<digits>e<exponent>" into the 80-bit extended format, correctly rounded, subnormals
// included; false beyond the extended range and for a value that rounds to zero.
//   readExtended("118973149535723176502e4912") -> true, the largest extended value
//   readExtended("1e-4950")                    -> true, 1.0935598...e-4950
//   readExtended("1e4933")                     -> false
bool readExtended(const std::string &text, long double &value);

// --- Regional settings -------------------------------------------------------------------------

// The decimal symbol of the user's regional settings, as single-byte text when it is one
// character ("," for Portuguese (Brasil)); "" when unknown. POSIX: the C library's locale as the
// environment sets it (LC_ALL, LC_NUMERIC, LANG), leaving the process's own as it was; Windows:
// the user's "Região" setting.
std::string decimalSymbol();

// --- Standard streams, arguments and the end of a run ------------------------------------------

// First thing in main(): each of standard input, output and error that is closed is opened on the
// null device, so that no file opened later takes its place and receives what is meant for the
// terminal ("2>&-" would otherwise put the messages inside the report). On Windows the three are
// also put in binary mode, so that a report's CR LF does not become CR CR LF.
void prepareStandardStreams() noexcept;
// Points standard error at the null device for a while: silenceStandardError() returns what
// restoreStandardError() needs.
int silenceStandardError();
void restoreStandardError(int saved);
// The name of the file standard output goes to, "/dev/stdout" when it has none.
std::string standardOutputName();
// Writes UTF-8 text to the console standard output (fd 1) or error (fd 2) is, as UTF-16 on
// Windows so that accents show; false, writing nothing, when fd is not a Windows console (it is
// then written as bytes, exactly as on Linux).
bool writeToConsole(int fd, std::string_view utf8);
// The program's arguments in UTF-8 (on Windows from the wide-character command line).
std::vector<std::string> arguments(int argc, char **argv);

// A run stopped from outside (Ctrl-C, a closed terminal or console window, kill) calls cleanUp and
// ends as it would have without it; a reader that stops early (| head) ends it with status 1 and
// no message, the file-size limit (ulimit -f) with status 1 and fileSizeLimitMessage. A signal
// the caller ignores (nohup) stays ignored. cleanUp must be safe in a signal handler.
void onInterruption(void (*cleanUp)() noexcept, const char *fileSizeLimitMessage);

} // namespace koravel::platform
