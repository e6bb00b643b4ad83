// A report that goes straight out as it is written, each line followed by CR LF, optionally
// cleaned up on the way exactly as ".:: LIMPAR ::." cleans the whole document.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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

    // Writes what is still held back (and, when cleaning up, the three summary lines) and
    // hands every byte to the output.
    void finish();

private:
    void writeLine(std::string_view line);
    void examine(std::string_view line);
    void put(std::string_view bytes);
    void flush();

    ReportOutput &m_output;
    bool m_cleanUp;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    long long m_appended = 0; // lines the prediction appended
    long long m_removed = 0; // "FALSO" lines dropped by the clean-up
    // Line 7 is examined only when the report turns out to have more than 8 lines.
    std::string m_heldLine;
    bool m_holding = false;
};

} // namespace koravel::cli
