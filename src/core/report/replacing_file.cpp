// A file replaced only once every byte of its new content is on disk.
#include "report/replacing_file.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include "numtext/error.h"
#include "platform/system.h"
#include "report/temporary_files.h"
#include "table/data_file.h"

namespace koravel {

namespace {

    constexpr std::size_t kBufferSize = 1 << 16;
    constexpr std::uint64_t kWriteOutStep = 16ULL << 20;

} // namespace

ReplacingFile::ReplacingFile(const std::string &path)
    : m_shownPath(fullPath(path))
{
    // A link that leads nowhere, or round in a circle, is refused rather than replaced by a
    // plain file, as a link that leads to a file is followed.
    if (platform::isDanglingLink(m_shownPath))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    m_target = linkTarget(m_shownPath);
    const std::filesystem::path target = platform::toPath(m_target);
    const std::string name = platform::fromPath(target.filename());
    const platform::FileKind kind = platform::fileKind(m_target);
    const bool exists = kind != platform::FileKind::Missing;
    // "new/" names a folder: an existing one cannot be a file, a missing one holds none.
    if (name.empty() || kind == platform::FileKind::Directory)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(exists ? EISDIR : ENOENT)));
    // A file the user may not write is not replaced behind its back.
    if (exists && !platform::mayWrite(m_target))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    if (kind == platform::FileKind::Other) {
        m_direct = true;
        m_fd = platform::openForWriting(m_target);
        if (m_fd < 0)
            throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
        m_buffer.reserve(kBufferSize);
        return;
    }

    std::string folder = platform::fromPath(target.parent_path());
    if (folder.empty())
        folder = "/";
    // In a folder where only owners may rename (the sticky bit, as in /tmp) another user's file
    // cannot be replaced: refused now rather than after the whole run.
    if (exists && platform::ownerOnlyRenames(folder, m_target))
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(EPERM)));
    removeStaleTemporaryFiles(folder, name);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const std::string candidate = (folder == "/" ? "" : folder) + "/"
            + temporaryFileName(name, platform::processId(), random() % 1000000);
        m_fd = platform::createNewFile(candidate);
        if (m_fd >= 0) {
            m_temporary = candidate;
            registerTemporaryFile(m_temporary);
        } else if (errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(errno)));
    // A file replaced keeps its owner (where the process may give it away, as root may) and
    // its permissions; a new one gets the usual ones.
    if (exists)
        platform::keepOwnerAndMode(m_fd, m_target);
    m_buffer.reserve(kBufferSize);
}

ReplacingFile::~ReplacingFile()
{
    if (m_fd >= 0)
        platform::closeFile(m_fd);
    if (!m_temporary.empty()) {
        platform::removeFile(m_temporary.c_str());
        forgetTemporaryFile(m_temporary);
    }
}

std::optional<std::uint64_t> ReplacingFile::freeBytes() const
{
    if (m_temporary.empty())
        return std::nullopt;
    return platform::freeBytesBeside(m_fd);
}

void ReplacingFile::write(std::string_view bytes)
{
    if (m_buffer.size() + bytes.size() < kBufferSize) {
        m_buffer.append(bytes);
        return;
    }
    flush();
    if (bytes.size() >= kBufferSize)
        writeOut(bytes);
    else
        m_buffer.append(bytes);
}

void ReplacingFile::flush()
{
    writeOut(m_buffer);
    m_buffer.clear();
}

void ReplacingFile::writeOut(std::string_view bytes)
{
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const long long written = platform::writeSome(m_fd, rest.data(), rest.size());
        if (written <= 0)
            throw Error(std::string(kStreamWriteError));
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (m_temporary.empty())
        return;
    m_written += bytes.size();
    // The disk starts on what is written while the rest is still being made, so that the wait
    // for the last bytes at commit() is short. Only the start is asked for here, not the wait.
    if (m_written - m_flushed >= kWriteOutStep) {
        platform::startWriteOut(m_fd, m_flushed, m_written - m_flushed);
        m_flushed = m_written;
    }
}

void ReplacingFile::commit()
{
    prepare();
    replace();
    settle();
}

void ReplacingFile::prepare()
{
    if (m_prepared)
        return;
    flush();
    const int fd = m_fd;
    m_fd = -1;
    m_prepared = true;
    if (!(m_direct ? platform::closeFile(fd) : platform::syncAndClose(fd)))
        throw Error(std::string(kStreamWriteError));
}

void ReplacingFile::replace()
{
    prepare();
    if (m_direct || m_replaced)
        return;
    // A second name for the file about to be replaced, so that it can be put back. Where the
    // file system has no hard links the file cannot be put back, and is replaced all the same.
    if (platform::fileKind(m_target) != platform::FileKind::Missing) {
        // Named as a temporary file of this run: a later run removes it if this one is killed.
        const std::filesystem::path temporary = platform::toPath(m_temporary);
        const std::string backup = platform::fromPath(temporary.parent_path()
            / platform::toPath(
                temporaryFileName(platform::fromPath(platform::toPath(m_target).filename()),
                    platform::processId(), std::random_device()() % 1000000)));
        if (platform::linkFile(m_target, backup)) {
            m_backup = backup;
            registerTemporaryFile(m_backup);
        }
    }
    if (!platform::replaceFile(m_temporary, m_target)) {
        const int error = errno;
        settle();
        throw Error(cannotCreateFileMessage(m_shownPath, systemReason(error)));
    }
    forgetTemporaryFile(m_temporary);
    m_temporary.clear();
    m_replaced = true;
}

void ReplacingFile::restore() noexcept
{
    if (!m_replaced)
        return;
    m_replaced = false;
    if (!m_backup.empty()) {
        if (platform::replaceFile(m_backup, m_target)) {
            forgetTemporaryFile(m_backup);
            m_backup.clear();
        }
    } else {
        platform::removeFile(m_target.c_str()); // there was no file before
    }
}

void ReplacingFile::settle() noexcept
{
    if (!m_backup.empty()) {
        platform::removeFile(m_backup.c_str());
        forgetTemporaryFile(m_backup);
        m_backup.clear();
    }
    if (!m_replaced)
        return;
    platform::syncFolder(platform::fromPath(platform::toPath(m_target).parent_path()));
}

void commitTogether(const std::vector<ReplacingFile *> &files)
{
    for (ReplacingFile *file : files)
        file->prepare();
    std::size_t done = 0;
    try {
        for (; done < files.size(); ++done)
            files[done]->replace();
    } catch (...) {
        while (done > 0)
            files[--done]->restore();
        for (ReplacingFile *file : files)
            file->settle();
        throw;
    }
    for (ReplacingFile *file : files)
        file->settle();
}

} // namespace koravel
