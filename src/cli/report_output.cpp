// The report's destination: plain writes to standard output, or the report window's way of
// saving, a temporary file renamed over the target.
#include "report_output.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "numtext/error.h"
#include "report/replacing_file.h"
#include "report/size_limits.h"
#include "report/temporary_files.h"

namespace koravel::cli {

namespace {

    // A run stopped from outside (Ctrl-C, a closed terminal, kill) removes the temporary files
    // of the report and the spreadsheets on its way out instead of leaving gigabytes behind
    // under hidden names.
    void removeTemporariesAndStop(int signalNumber)
    {
        removeTemporaryFiles();
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }

    // A reader that stops early (| head) ends the run as a user of head expects: quietly, but
    // with status 1, since the report was not all written.
    void removeTemporariesAfterClosedPipe(int)
    {
        removeTemporaryFiles();
        ::_exit(1);
    }

    constexpr char kFileSizeLimitMessage[] = "O limite de tamanho de arquivo deste processo "
                                             "(ulimit -f) foi atingido; a execução parou e "
                                             "nenhum arquivo de saída foi substituído.\n";

    void removeTemporariesAfterFileSizeLimit(int)
    {
        removeTemporaryFiles();
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, kFileSizeLimitMessage, sizeof kFileSizeLimitMessage - 1);
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

void removeTemporariesOnInterruption()
{
    for (const int signalNumber : { SIGINT, SIGTERM, SIGHUP }) {
        struct sigaction action = {};
        // A signal the caller ignores (nohup) stays ignored.
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        handle(signalNumber, removeTemporariesAndStop);
    }
    handle(SIGPIPE, removeTemporariesAfterClosedPipe);
    handle(SIGXFSZ, removeTemporariesAfterFileSizeLimit);
}

std::optional<std::uint64_t> standardOutputFreeBytes()
{
    struct stat status = {};
    if (::fstat(STDOUT_FILENO, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return freeBytesBeside(STDOUT_FILENO);
}

std::string standardOutputName()
{
    std::error_code error;
    const std::filesystem::path name = std::filesystem::read_symlink("/proc/self/fd/1", error);
    return error ? std::string("/dev/stdout") : name.string();
}

ReportOutput::ReportOutput() = default;

ReportOutput::ReportOutput(const std::string &path)
    : m_file(std::make_unique<ReplacingFile>(path))
{
}

ReportOutput::~ReportOutput() = default;

std::optional<std::uint64_t> ReportOutput::freeBytes() const
{
    return m_file ? m_file->freeBytes() : std::nullopt;
}

const std::string &ReportOutput::shownPath() const
{
    static const std::string standardOutput;
    return m_file ? m_file->shownPath() : standardOutput;
}

void ReportOutput::write(const char *data, std::size_t size)
{
    if (m_file) {
        m_file->write({ data, size });
        return;
    }
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Error(std::string(kStreamWriteError));
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void ReportOutput::commit()
{
    if (m_file)
        m_file->commit();
}

} // namespace koravel::cli
