// How big a report would be before it is written, and the refusal of one that cannot be held:
// the report window keeps the whole text in memory, the command line streams it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "prediction/lines_field.h"
#include "report/report_format.h"

namespace koravel {

// Exact counts of lines and bytes: 3 * C(n, 4) reaches 2.7e36 for the largest n, beyond 64 bits.
// Arithmetic on them saturates at the largest value instead of wrapping.
__extension__ typedef unsigned __int128 ReportCount;
inline constexpr ReportCount kReportCountMax = ~ReportCount(0);

struct ReportSize
{
    ReportCount lines; // header block, one line per candidate, closing rule
    ReportCount bytes; // at least this many: every value written with one character, CR LF
};

// The size of the report a prediction for n lines writes. n below the minimum gives the header
// block and the closing rule alone (8 lines).
//   reportSize(DoubleCross, 4)   -> lines 11 (3 candidates)
//   reportSize(DoubleCross, 100) -> lines 11,763,683
//   reportSize(ThreeWayCross, 3) -> lines 11
ReportSize reportSize(HybridKind kind, std::int64_t n);

// A count with the Portuguese thousands separator: 194054858 -> "194.054.858", 999 -> "999".
std::string groupedCount(ReportCount count);
// An amount of memory or disk, in Portuguese: 65536 -> "65.536 bytes", 28600000000 -> "28,6 GB",
// 6213000000000 -> "6,2 TB", beyond a thousand TB in whole TB with grouping.
std::string byteSizeText(ReportCount bytes);

// The memory the report window needs for a report: its text, and what the editor keeps per line
// (line starts, the loader's pieces), taken as 96 bytes a line. Measured: the report of 100
// lines, 11.8 million lines and 0.62 GB of text, peaks at 1.08 GB in the window, some 40 bytes a
// line besides the text; the estimate, 1.6 GB, keeps a margin for the rest of the program.
ReportCount windowMemoryNeeded(const ReportSize &size);
// The most memory a report may take in the window: three quarters of the physical memory, never
// more than 16 GiB, so that the rest of the system keeps room and the refusal does not depend
// on how much memory a large machine has. 16 GiB when the physical memory is unknown.
std::uint64_t windowMemoryLimit();
// The memory this machine can give now without swapping (MemAvailable).
std::uint64_t availableMemory();

// The check the window makes before a prediction changes anything. n is read from the field's
// text as the prediction reads it (so a text that is not an integer raises the same conversion
// error). A report that needs more than memoryLimit raises Error with a Portuguese message
// giving the number of lines:
//   "Com 200 linhagens, o relatório de HDs teria 194.054.858 linhas e precisaria de cerca de
//    28,6 GB de memória, mais do que a janela do relatório pode usar neste computador (16,0 GB).
//    Use menos linhagens, ou o koravel-cli, que grava o relatório direto em arquivo."
void checkWindowReport(HybridKind kind, const LinesField &lines, std::uint64_t memoryLimit);

// The check of the command line, which streams: only a report it could not write is refused.
// Its line count must fit in a signed 64-bit number (the clean-up counts lines so), and, when it
// goes to a file, its bytes must fit in freeBytes, the free space of the file's file system.
//   "Com 2.000.000.000 linhagens, o relatório de HDs teria 1.999.999.994.000.000.005.499.999.998.
//    500.000.008 linhas, mais do que o koravel-cli pode contar (9.223.372.036.854.775.807)."
//   "Com 1.000 linhagens, o relatório de HDs teria 124.251.374.258 linhas, pelo menos 5,4 TB,
//    e só há 40,2 GB livres para "/dados/r.txt"."
void checkStreamedReport(HybridKind kind, const LinesField &lines,
    std::optional<std::uint64_t> freeBytes = std::nullopt, std::string_view outputPath = {});

// The check of an import before the table is built: the text, each line's place in the line
// list, its row and label, and each of its k cells twice (split, then stored), must fit in
// memoryLimit. Error otherwise:
//   "O arquivo tem 500.000.000 linhas, com 3 campos na primeira; a tabela precisaria de cerca de
//    141,0 GB de memória, mais do que o programa pode usar neste computador (17,2 GB)."
void checkTableSize(
    std::uint64_t textBytes, std::uint64_t lines, std::uint64_t fields, std::uint64_t memoryLimit);

} // namespace koravel
