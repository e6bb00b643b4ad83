// CSV rows in UTF-8, quoted where a field needs it.
#include "export/csv_writer.h"

#include "analysis/line_names.h"
#include "export/ranking_columns.h"
#include "export/spreadsheet_export.h"
#include "export/spreadsheet_texts.h"
#include "table/text_encoding.h"

namespace koravel {

CsvWriter::CsvWriter(const std::string &path, const CsvOptions &options)
    : m_file(path)
    , m_separator(options.separator)
    , m_numbers { options.decimalMark }
{
    m_file.write("\xEF\xBB\xBF");
}

void CsvWriter::separate()
{
    if (m_rowStarted)
        m_row += m_separator;
    m_rowStarted = true;
}

void CsvWriter::field(std::string_view utf8)
{
    separate();
    const bool quote =
        utf8.find_first_of(std::string { m_separator, '"', '\r', '\n' }) != std::string_view::npos;
    if (!quote) {
        m_row += utf8;
        return;
    }
    m_row += '"';
    for (const char c : utf8) {
        if (c == '"')
            m_row += '"';
        m_row += c;
    }
    m_row += '"';
}

void CsvWriter::fixed(FixedPattern pattern, double value)
{
    field(formatFloat(pattern, value, m_numbers));
}

void CsvWriter::real(double value)
{
    field(floatToStr(value, m_numbers));
}

void CsvWriter::integer(long long value)
{
    field(intToStr(value));
}

void CsvWriter::empty()
{
    separate();
}

void CsvWriter::endRow()
{
    m_row += "\r\n";
    m_file.write(m_row);
    m_row.clear();
    m_rowStarted = false;
}

void CsvWriter::candidateHeader(HybridKind kind)
{
    for (const std::string_view title : candidateTitles(kind))
        field(title);
    endRow();
}

void CsvWriter::candidate(const CandidateRecord &candidate)
{
    field(hybridName(candidate));
    for (std::size_t i = 0; i < parentCount(candidate.kind); ++i)
        integer(candidate.parents[i]);
    // A FALSO hybrid has no prediction: its mean and CV stay empty rather than read as 0.
    if (candidate.falso) {
        empty();
        empty();
    } else {
        fixed(FixedPattern::ThreeDecimals, candidate.mean);
        fixed(FixedPattern::OneDecimal, candidate.cv);
    }
    for (std::size_t i = 0; i < valueCount(candidate.kind); ++i)
        real(candidate.values[i]);
    field(candidate.falso ? kYes : kNo);
    endRow();
}

void CsvWriter::ranking(const RankingResult &ranking)
{
    const RankingColumns columns(ranking);
    for (const std::string_view title : rankingTitles(ranking))
        field(title);
    endRow();
    for (std::size_t rank = 0; rank < ranking.best.size(); ++rank) {
        const CandidateRecord candidate = ranking.record(rank);
        integer(static_cast<long long>(rank) + 1);
        field(hybridName(candidate));
        if (columns.names)
            field(latin1ToUtf8(namedHybrid(candidate, *ranking.names)));
        fixed(FixedPattern::ThreeDecimals, candidate.mean);
        fixed(FixedPattern::OneDecimal, candidate.cv);
        for (std::size_t i = 0; i < valueCount(ranking.kind); ++i)
            real(candidate.values[i]);
        if (columns.estimated)
            field(candidate.estimated != 0 ? kYes : kNo);
        if (columns.errors) {
            fixed(FixedPattern::ThreeDecimals, ranking.standardErrors[rank]);
            field(ranking.differsFromFirst[rank] ? kYes : kNo);
        }
        endRow();
    }
    endRow(); // an empty row between the two tables
    for (const std::string_view title : frequencyTitles(ranking))
        field(title);
    endRow();
    for (const LineFrequency &frequency : ranking.frequencies) {
        integer(frequency.line);
        if (columns.names)
            field(latin1ToUtf8(ranking.names->name(frequency.line)));
        integer(static_cast<long long>(frequency.count));
        endRow();
    }
}

void CsvWriter::commit()
{
    finished().commit();
}

ReplacingFile &CsvWriter::finished()
{
    if (m_rowStarted)
        endRow();
    return m_file;
}

} // namespace koravel
