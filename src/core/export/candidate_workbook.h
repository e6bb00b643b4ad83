// An XLSX workbook of a report's candidates, written row by row in constant memory, and of its
// ranking on a second sheet.
#pragma once

#include <cstddef>
#include <string>

#include "export/ranking.h"
#include "report/replacing_file.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace koravel {

class CandidateWorkbook
{
public:
    // Refuses, before anything is made, more candidates than a sheet holds below its header.
    // The sheet "Ordenação" comes after "Candidatos" when withRanking; without withCandidates
    // it is the only sheet (a ranking made without the report).
    CandidateWorkbook(const std::string &path, HybridKind kind, std::size_t candidates,
        bool withRanking, bool withCandidates = true);
    // Without finish() the target is left as it was.
    ~CandidateWorkbook();
    CandidateWorkbook(const CandidateWorkbook &) = delete;
    CandidateWorkbook &operator=(const CandidateWorkbook &) = delete;

    // Candidates come in the report's order, one row each.
    void candidate(const CandidateRecord &candidate);
    // Writes the ranking sheet (ranking is not null exactly when withRanking), closes the
    // workbook and replaces the target.
    void finish(const RankingResult *ranking);
    // The same without replacing the target, for a caller that replaces it with others.
    ReplacingFile &finished(const RankingResult *ranking);

private:
    void check(int error);
    void titles(lxw_worksheet *sheet, std::size_t row, const auto &texts);
    void writeRanking(const RankingResult &ranking);

    ReplacingFile m_file;
    HybridKind m_kind;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_candidates = nullptr;
    lxw_worksheet *m_ranking = nullptr;
    lxw_format *m_title = nullptr;
    lxw_format *m_mean = nullptr;
    lxw_format *m_cv = nullptr;
    std::size_t m_row = 0; // the last row written on the candidates' sheet
};

// Closes a workbook written to file's temporary path, which frees it whatever the outcome, and
// raises "Cannot create file ..." with the system's reason when the library could not finish it.
void closeWorkbook(lxw_workbook *workbook, const ReplacingFile &file);

// "A planilha comporta no máximo 1048575 híbridos; este relatório tem N" (Latin-1)
std::string tooManyRowsMessage(std::size_t candidates);

// Refuses a ranking whose sheet would need more rows than a sheet has: the K kept, a blank row,
// the titles of the frequencies and one row for each line (at most lines, or every parent of
// the kept). "A folha Ordenação comporta no máximo 1048576 linhas. Use um --top menor."
void checkRankingSheet(HybridKind kind, std::size_t kept, std::size_t lines);

} // namespace koravel
