// A file written through a temporary file beside it, which replaces it only once complete, so
// that a failed export keeps the old file. A device or a pipe ("/dev/stdout", a FIFO) is
// written directly: renaming a file over it would put a plain file in its place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koravel {

class ReplacingFile
{
public:
    // Makes the temporary file beside path (beside the file a link names). Errors: "Cannot
    // create file "<full path>". <reason>", also for a folder or a file the user may not write.
    explicit ReplacingFile(const std::string &path);
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // For writers that open the file by name themselves (and truncate it): the temporary file,
    // or the device or pipe itself.
    const std::string &temporaryPath() const { return m_direct ? m_target : m_temporary; }
    const std::string &shownPath() const { return m_shownPath; }

    // Buffered (a large piece goes straight through); Error "Stream write error" when the
    // bytes cannot be written.
    void write(std::string_view bytes);
    // The free space beside the temporary file; nothing for a device or a pipe.
    std::optional<std::uint64_t> freeBytes() const;
    // Puts every byte on disk and renames the temporary file over the target.
    void commit();

    // commit() in its steps, for outputs replaced together (commitTogether): every byte on
    // disk; the rename, keeping a link to the old file; the rename undone; the old file let go.
    void prepare();
    void replace();
    void restore() noexcept;
    void settle() noexcept;

private:
    void flush();
    void writeOut(std::string_view bytes);

    int m_fd = -1;
    bool m_direct = false; // a device or a pipe, written without a temporary file
    std::string m_buffer;
    std::string m_shownPath;
    std::string m_target;
    std::string m_temporary; // empty once renamed
    std::string m_backup; // a second name of the replaced file until settle()
    bool m_prepared = false;
    bool m_replaced = false;
    std::uint64_t m_written = 0; // bytes written to the temporary file
    std::uint64_t m_flushed = 0; // bytes whose write-out to disk has been started
};

// Replaces the files together once all are written: each is prepared, then renamed; when one
// fails, those renamed before it get their old content back and the error is raised, so that a
// run's outputs are all replaced or none is.
void commitTogether(const std::vector<ReplacingFile *> &files);

} // namespace koravel
