// Where koravel-cli writes the report's bytes: standard output, or a file that is replaced only
// once every byte has been written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace koravel {
class ReplacingFile;
}

namespace koravel::cli {

// When standard output is a regular file (a shell's "> file"), the free space beside it and its
// full name, so that a report it cannot hold is refused before the first line; nothing for a
// pipe or a terminal, which take whatever comes.
std::optional<std::uint64_t> standardOutputFreeBytes();

// From now on Ctrl-C, kill or a closed terminal first removes the temporary files of the report
// and the spreadsheets being written. So do a closed pipe on standard output, which then ends
// the run quietly with status 1, and the file-size limit (ulimit -f), which ends it with status
// 1 and a message: in every case the targets stay as they were.
void removeTemporariesOnInterruption();
std::string standardOutputName();

// The report's destination: standard output, written as it comes, or a file named by --output,
// written like the report window's save.
class ReportOutput
{
public:
    // Standard output, written as is.
    ReportOutput();
    // A temporary file beside the target (beside the file a link names); the target is not
    // touched until commit(). A device or a pipe is written directly. Error "Cannot create file
    // "<full path>". <reason>" when the temporary file cannot be made.
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
    const std::string &shownPath() const;
    // Puts every byte on disk and renames the temporary file over the target (nothing to do for
    // standard output). On failure the target stays as it was.
    void commit();
    // The file the report goes to, to be replaced with the others; null for standard output.
    ReplacingFile *file() { return m_file.get(); }

private:
    std::unique_ptr<ReplacingFile> m_file; // null for standard output
};

} // namespace koravel::cli
