// The report's destination: plain writes to standard output, or the report window's way of
// saving, a temporary file renamed over the target.
#include "report_output.h"

#include "numtext/error.h"
#include "platform/system.h"
#include "report/replacing_file.h"
#include "report/temporary_files.h"

namespace koravel::cli {

namespace {

    constexpr char kFileSizeLimitMessage[] = "O limite de tamanho de arquivo deste processo "
                                             "(ulimit -f) foi atingido; a execução parou e "
                                             "nenhum arquivo de saída foi substituído.\n";

} // namespace

// A run stopped from outside (Ctrl-C, a closed terminal, kill) removes the temporary files of the
// report and the spreadsheets on its way out instead of leaving gigabytes behind under hidden
// names; a reader that stops early (| head) ends the run as a user of head expects: quietly, but
// with status 1, since the report was not all written.
void removeTemporariesOnInterruption()
{
    platform::onInterruption(removeTemporaryFiles, kFileSizeLimitMessage);
}

std::optional<std::uint64_t> standardOutputFreeBytes()
{
    if (!platform::isRegularFile(1))
        return std::nullopt;
    return platform::freeBytesBeside(1);
}

std::string standardOutputName()
{
    return platform::standardOutputName();
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
        const long long written = platform::writeSome(1, data, size);
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
