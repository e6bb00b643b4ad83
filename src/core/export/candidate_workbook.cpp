// An XLSX workbook written through libxlsxwriter in constant memory: each row goes to disk as
// soon as the next begins, so a report of a million candidates costs no more memory than one.
#include "export/candidate_workbook.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include <xlsxwriter.h>

#include "analysis/line_names.h"
#include "export/ranking_columns.h"
#include "numtext/error.h"
#include "table/text_encoding.h"
#include "export/spreadsheet_export.h"
#include "export/spreadsheet_texts.h"
#include "platform/system.h"

// A C library without disk quotas has no code for them.
#ifndef EDQUOT
#define EDQUOT ENOSPC
#endif

namespace koravel {

std::string tooManyRowsMessage(std::size_t candidates)
{
    return "A planilha comporta no m\xE1ximo " + std::to_string(kMaxSheetRows)
        + " h\xED"
          "bridos; este relat\xF3rio tem "
        + std::to_string(candidates);
}

void checkRankingSheet(HybridKind kind, std::size_t kept, std::size_t lines)
{
    // Titles and one row a hybrid; a blank row; the frequencies' titles and one row a line.
    const std::size_t most = kMaxSheetRows + 1;
    const std::size_t hybrids = std::min(kept, most);
    const std::size_t rows = hybrids + 3 + std::min(lines, hybrids * parentCount(kind));
    if (kept <= most && rows <= most)
        return;
    throw Error("A folha Ordena\xE7\xE3o comporta no m\xE1ximo " + std::to_string(most)
        + " linhas. Use um --top menor.");
}

namespace {

    // The count is checked before the temporary file is made.
    const std::string &checkedPath(const std::string &path, std::size_t candidates)
    {
        if (candidates > kMaxSheetRows)
            throw Error(tooManyRowsMessage(candidates));
        return path;
    }

    lxw_workbook *newWorkbook(const ReplacingFile &file)
    {
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *workbook = workbook_new_opt(file.temporaryPath().c_str(), &options);
        if (workbook == nullptr)
            throw Error(cannotCreateFileMessage(file.shownPath(), "Out of memory"));
        return workbook;
    }

} // namespace

CandidateWorkbook::CandidateWorkbook(const std::string &path, HybridKind kind,
    std::size_t candidates, bool withRanking, bool withCandidates)
    : m_file(checkedPath(path, withCandidates ? candidates : 0))
    , m_kind(kind)
    , m_workbook(newWorkbook(m_file))
{
    if (withCandidates)
        m_candidates = workbook_add_worksheet(m_workbook, kCandidatesSheet);
    if (withRanking)
        m_ranking = workbook_add_worksheet(m_workbook, kRankingSheet);
    m_title = workbook_add_format(m_workbook);
    m_mean = workbook_add_format(m_workbook);
    m_cv = workbook_add_format(m_workbook);
    if ((withCandidates && m_candidates == nullptr) || (withRanking && m_ranking == nullptr)
        || m_title == nullptr || m_mean == nullptr || m_cv == nullptr) {
        lxw_workbook_free(m_workbook);
        throw Error(cannotCreateFileMessage(m_file.shownPath(), "Out of memory"));
    }
    format_set_bold(m_title);
    format_set_num_format(m_mean, "0.000");
    format_set_num_format(m_cv, "0.0");
    // The titles stay in sight while the rows scroll; the hybrid's name needs a wider column.
    if (m_candidates != nullptr) {
        titles(m_candidates, 0, candidateTitles(kind));
        worksheet_freeze_panes(m_candidates, 1, 0);
        worksheet_set_column(m_candidates, 0, 0, 16, nullptr);
    }
    if (m_ranking != nullptr) {
        worksheet_freeze_panes(m_ranking, 1, 0);
        worksheet_set_column(m_ranking, 1, 1, 16, nullptr);
    }
}

CandidateWorkbook::~CandidateWorkbook()
{
    if (m_workbook != nullptr)
        lxw_workbook_free(m_workbook);
}

void CandidateWorkbook::check(int error)
{
    if (error != LXW_NO_ERROR)
        throw Error(cannotCreateFileMessage(
            m_file.shownPath(), lxw_strerror(static_cast<lxw_error>(error))));
}

void CandidateWorkbook::titles(lxw_worksheet *sheet, std::size_t row, const auto &texts)
{
    lxw_col_t column = 0;
    for (const std::string_view title : texts)
        check(worksheet_write_string(
            sheet, lxw_row_t(row), column++, std::string(title).c_str(), m_title));
}

void CandidateWorkbook::candidate(const CandidateRecord &candidate)
{
    if (m_row >= kMaxSheetRows)
        throw Error(tooManyRowsMessage(m_row + 1));
    const lxw_row_t row = lxw_row_t(++m_row);
    lxw_col_t column = 0;
    check(worksheet_write_string(
        m_candidates, row, column++, hybridName(candidate).c_str(), nullptr));
    for (std::size_t i = 0; i < parentCount(m_kind); ++i)
        check(worksheet_write_number(m_candidates, row, column++, candidate.parents[i], nullptr));
    // A FALSO hybrid has no prediction: its mean and CV cells stay empty rather than hold 0.
    if (candidate.falso) {
        column += 2;
    } else {
        check(worksheet_write_number(m_candidates, row, column++, candidate.mean, m_mean));
        check(worksheet_write_number(m_candidates, row, column++, candidate.cv, m_cv));
    }
    for (std::size_t i = 0; i < valueCount(m_kind); ++i)
        check(worksheet_write_number(m_candidates, row, column++, candidate.values[i], nullptr));
    const std::string falso(candidate.falso ? kYes : kNo);
    check(worksheet_write_string(m_candidates, row, column, falso.c_str(), nullptr));
}

void CandidateWorkbook::writeRanking(const RankingResult &ranking)
{
    const RankingColumns columns(ranking);
    titles(m_ranking, 0, rankingTitles(ranking));
    lxw_row_t row = 0;
    const auto text = [this](lxw_row_t at, lxw_col_t column, std::string_view utf8) {
        check(worksheet_write_string(m_ranking, at, column, std::string(utf8).c_str(), nullptr));
    };
    for (std::size_t rank = 0; rank < ranking.best.size(); ++rank) {
        const CandidateRecord candidate = ranking.record(rank);
        ++row;
        lxw_col_t column = 0;
        check(worksheet_write_number(m_ranking, row, column++, row, nullptr));
        text(row, column++, hybridName(candidate));
        if (columns.names)
            text(row, column++, latin1ToUtf8(namedHybrid(candidate, *ranking.names)));
        check(worksheet_write_number(m_ranking, row, column++, candidate.mean, m_mean));
        check(worksheet_write_number(m_ranking, row, column++, candidate.cv, m_cv));
        for (std::size_t i = 0; i < valueCount(m_kind); ++i)
            check(worksheet_write_number(m_ranking, row, column++, candidate.values[i], nullptr));
        if (columns.estimated)
            text(row, column++, candidate.estimated != 0 ? kYes : kNo);
        if (columns.errors) {
            check(worksheet_write_number(
                m_ranking, row, column++, ranking.standardErrors[rank], m_mean));
            text(row, column++, ranking.differsFromFirst[rank] ? kYes : kNo);
        }
    }
    row += 2; // an empty row between the two tables
    titles(m_ranking, row, frequencyTitles(ranking));
    for (const LineFrequency &frequency : ranking.frequencies) {
        ++row;
        lxw_col_t column = 0;
        check(worksheet_write_number(m_ranking, row, column++, frequency.line, nullptr));
        if (columns.names)
            text(row, column++, latin1ToUtf8(ranking.names->name(frequency.line)));
        check(worksheet_write_number(m_ranking, row, column, double(frequency.count), nullptr));
    }
}

void CandidateWorkbook::finish(const RankingResult *ranking)
{
    finished(ranking).commit();
}

ReplacingFile &CandidateWorkbook::finished(const RankingResult *ranking)
{
    if (m_ranking != nullptr && ranking != nullptr)
        writeRanking(*ranking);
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr; // closing frees it, whatever the outcome
    closeWorkbook(workbook, m_file);
    return m_file;
}

void closeWorkbook(lxw_workbook *workbook, const ReplacingFile &file)
{
    // The library tells its own failures on standard error, in its words ("[ERROR] ... Zip
    // ZIP_ERRNO error"); the program tells them once, in its own, naming what the system said.
    const int savedError = platform::silenceStandardError();
    errno = 0;
    const lxw_error error = workbook_close(workbook);
    const int reason = errno;
    platform::restoreStandardError(savedError);
    const bool diskFault = reason == ENOSPC || reason == EFBIG || reason == EDQUOT || reason == EIO;
    if (error != LXW_NO_ERROR && diskFault)
        throw Error(cannotCreateFileMessage(file.shownPath(), systemReason(reason)));
    if (error != LXW_NO_ERROR)
        throw Error(cannotCreateFileMessage(file.shownPath(), lxw_strerror(error)));
}

} // namespace koravel
