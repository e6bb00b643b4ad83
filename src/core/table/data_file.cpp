// Reading a data file whole, and the line and field rules of its text.
#include "table/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "numtext/error.h"
#include "platform/system.h"

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
    const std::filesystem::path absolute = std::filesystem::absolute(platform::toPath(path), error);
    if (error || absolute.empty())
        return path;
    return platform::fromPath(absolute.lexically_normal());
}

std::string linkTarget(const std::string &fullName)
{
    std::error_code error;
    const std::filesystem::path name = platform::toPath(fullName);
    if (std::filesystem::is_symlink(name, error)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(name, error);
        if (!error)
            return platform::fromPath(resolved);
    }
    return fullName;
}

bool sameFile(const std::string &a, const std::string &b)
{
    return platform::sameFile(a, b);
}

std::string readFileBytes(const std::string &path)
{
    return readFileBytes(path, static_cast<std::size_t>(-1));
}

std::string readFileBytes(const std::string &path, std::size_t maxBytes)
{
    // Opened without waiting, so that a pipe with no writer cannot hold the program forever;
    // only a regular file is read (a device could give bytes without end).
    const platform::ReadableFile opened = platform::openForReading(path);
    if (opened.kind == platform::FileKind::Missing)
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(errno)));
    if (opened.kind == platform::FileKind::Directory)
        throw Error(cannotOpenFileMessage(fullPath(path), systemReason(EISDIR)));
    if (opened.kind != platform::FileKind::Regular)
        throw Error(cannotOpenFileMessage(fullPath(path), kNotRegularFile));
    std::unique_ptr<std::FILE, FileCloser> file(opened.file);

    // A file known to be too long is refused before a byte is read; the room for one that fits
    // is taken at once. A file that grows meanwhile is still stopped by the reading below.
    const std::uint64_t size = opened.size;
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
