// A report that goes straight out as it is written, each line followed by CR LF, optionally
// cleaned up on the way exactly as ".:: LIMPAR ::." cleans the whole document.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "report/clean_up.h"
#include "report/report_line.h"

namespace koravel::cli {

class ReportOutput;

class StreamReport final : public ReportSink
{
public:
    StreamReport(ReportOutput &output, bool cleanUp);
    ~StreamReport() override;

    // A prediction clears the report only before its first line; bytes already handed to the
    // output cannot be taken back.
    void clear() override;
    void appendLine(std::string_view line) override;
    // Candidate lines come in blocks formatted on several threads; with the clean-up, without
    // their FALSO lines.
    std::optional<BlockForm> blockForm() const override;
    void appendBlock(const LineBlock &block) override;

    // Writes what is still held back (and, when cleaning up, the three summary lines) and
    // hands every byte to the output.
    void finish();

private:
    void writeLine(std::string_view line);
    void put(std::string_view bytes);
    void flush();

    ReportOutput &m_output;
    std::optional<CleanUp> m_cleanUp;
    long long m_kept = 0; // lines the clean-up kept
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
};

} // namespace koravel::cli
