// The clean-up's rule and its summary lines.
#include "report/clean_up.h"

#include "numtext/numtext.h"
#include "table/data_file.h"

namespace koravel {

bool CleanUp::removes(std::string_view line)
{
    // The report window reads at most the first 4096 characters of a line.
    return line.substr(0, kMaxLineLength).find("FALSO") != std::string_view::npos;
}

CleanUpSummary CleanUp::summary(long long linesBefore, long long linesAfter)
{
    // Each count is read right after the summary line before it is appended: the removed lines
    // after the first, the predicted ones after the second.
    CleanUpSummary counts;
    counts.total = linesBefore - 8;
    counts.removed = counts.total - ((linesAfter + 1) - 9);
    counts.predicted = (linesAfter + 2) - 10;
    return counts;
}

std::array<std::string, 3> CleanUp::summaryLines(const CleanUpSummary &summary)
{
    std::array<std::string, 3> lines { "Hibridos possiveis totais= ",
        "Hibridos Falso preditos excluidos = ", "Hibridos Reais preditos = " };
    appendInt(lines[0], summary.total);
    appendInt(lines[1], summary.removed);
    appendInt(lines[2], summary.predicted);
    return lines;
}

} // namespace koravel
