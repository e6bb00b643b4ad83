// Where koravel-cli writes the report's bytes: standard output, or a file that is replaced only
// once every byte has been written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace koravel::cli {

// When standard output is a regular file (a shell's "> file"), the free space beside it and its
// full name, so that a report it cannot hold is refused before the first line; nothing for a
// pipe or a terminal, which take whatever comes.
std::optional<std::uint64_t> standardOutputFreeBytes();

// From now on Ctrl-C, kill or a closed terminal first removes the temporary files of the report
// and the spreadsheets being written.
void removeTemporariesOnInterruption();
std::string standardOutputName();

class ReportOutput
{
public:
    // Standard output, written as is.
    ReportOutput();
    // A temporary file beside the target (beside the file a link names); the target is not
    // touched until commit(). Error "Cannot create file "<full path>". <reason>" when the
    // temporary file cannot be made.
    explicit ReportOutput(const std::string &path);
    // Removes the temporary file unless commit() succeeded.
    ~ReportOutput();
    ReportOutput(const ReportOutput &) = delete;
    ReportOutput &operator=(const ReportOutput &) = delete;

    // Error "Stream write error" when the bytes cannot all be written.
    void write(const char *data, std::size_t size);
    // The free space beside the temporary file, where the report goes; nothing for standard
    // output, which may be a pipe or a terminal.
    std::optional<std::uint64_t> freeBytes() const;
    // The full path that messages name: "/home/ana/r.txt"; empty for standard output.
    const std::string &shownPath() const { return m_shownPath; }
    // Puts the temporary file's bytes on disk and renames it over the target (nothing to do for
    // standard output). On failure the temporary file goes and the target stays as it was.
    void commit();

private:
    void writeAll(const char *data, std::size_t size);
    void discardTemporary();

    int m_fd = 1;
    bool m_direct = false; // a device or a pipe named by --output, written without a rename
    unsigned long long m_written = 0; // bytes written to the temporary file
    unsigned long long m_flushed = 0; // bytes whose write-out to disk has been started
    std::string m_shownPath; // the full path that messages name
    std::string m_target; // the file replaced; empty for standard output
    std::string m_temporary; // empty once renamed or removed
};

} // namespace koravel::cli
