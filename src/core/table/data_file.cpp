// Reading a data file whole, and the line and field rules of its text.
#include "table/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numtext/error.h"

namespace {

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};

bool isSeparator(char c)
{
    // Codes 1 to 32; a NUL never reaches here inside a line, and counts as a blank if it does.
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

namespace koravel {

std::string fullPath(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error || absolute.empty())
        return path;
    return absolute.lexically_normal().string();
}

std::string linkTarget(const std::string &fullName)
{
    std::error_code error;
    if (std::filesystem::is_symlink(fullName, error)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(fullName, error);
        if (!error)
            return resolved.string();
    }
    return fullName;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat first = {};
    struct stat second = {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string readFileBytes(const std::string &path)
{
    return readFileBytes(path, static_cast<std::size_t>(-1));
}

std::string readFileBytes(const std::string &path, std::size_t maxBytes)
{
    // Opened without waiting, so that a pipe with no writer cannot hold the program forever;
    // only a regular file is read (a device could give bytes without end).
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(errno ? errno : ENOENT)));
    std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(errno ? errno : EIO)));
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(errno)));
    if (S_ISDIR(status.st_mode))
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(EISDIR)));
    if (!S_ISREG(status.st_mode))
        throw Error(cannotOpenFileMessage(fullPath(path), kNotRegularFile));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    // A file known to be too long is refused before a byte is read; the room for one that fits
    // is taken at once. A file that grows meanwhile is still stopped by the reading below.
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size > maxBytes)
        throw Error(std::string(kTextExceedsMemoCapacity));
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got > maxBytes - text.size())
            throw Error(std::string(kTextExceedsMemoCapacity));
        text.append(buffer, got);
        if (got < sizeof buffer) {
            // A file that opens but refuses to be read is a file that cannot be opened.
            if (std::ferror(file.get()))
                throw Error(
                    cannotOpenFileMessage(fullPath(path), systemReason(errno ? errno : EIO)));
            break;
        }
    }
    return text;
}

std::string_view textBeforeNul(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    text = textBeforeNul(text);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    const std::size_t size = text.size();
    while (start < size) {
        std::size_t end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(start, std::min(end - start, kMaxLineLength)));
        if (end == size)
            break;
        // CR LF is one line end; LF CR is two, with an empty line between them.
        start = end + 1;
        if (text[end] == '\r' && start < size && text[start] == '\n')
            ++start;
    }
    return lines;
}

void splitFields(std::string_view line, std::vector<std::string> &fields)
{
    fields.clear();
    const std::size_t size = line.size();
    std::size_t at = 0;
    for (;;) {
        while (at < size && isSeparator(line[at]))
            ++at;
        if (at == size)
            return;
        if (line[at] != '"') {
            const std::size_t start = at;
            while (at < size && !isSeparator(line[at]))
                ++at;
            fields.emplace_back(line.substr(start, at - start));
            continue;
        }
        // A quoted field runs to the next quote that is not doubled, or to the end of the
        // line; the next field begins right after the closing quote.
        std::string &field = fields.emplace_back();
        ++at;
        while (at < size) {
            if (line[at] == '"') {
                if (at + 1 < size && line[at + 1] == '"') {
                    field += '"';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            field += line[at];
            ++at;
        }
    }
}

} // namespace koravel
