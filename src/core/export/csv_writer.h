// CSV rows in UTF-8: fields joined by the chosen separator, quoted where they need it, numbers
// written with the chosen decimal mark, each row ending CR LF.
#pragma once

#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "export/ranking.h"
#include "report/replacing_file.h"

namespace koravel {

struct CsvOptions;

class CsvWriter
{
public:
    // The options must have passed checkCsvOptions. The file begins with the UTF-8 byte order
    // mark, by which spreadsheets tell UTF-8 from the code page of the system.
    CsvWriter(const std::string &path, const CsvOptions &options);

    // A field is quoted when it holds the separator, a quote, CR or LF; a quote is doubled:
    //   field("(1x2) 3") with ' '  -> "\"(1x2) 3\""      field("a\"b") -> "\"a\"\"b\""
    void field(std::string_view utf8);
    // A real in the report's patterns, with the decimal mark: 5.25 -> "5,250" with ','.
    void fixed(FixedPattern pattern, double value);
    // A real in the general format: 4.75 -> "4,75" with ','.
    void real(double value);
    void integer(long long value);
    void empty();
    void endRow();

    // The header and one row of a report's candidates.
    void candidateHeader(HybridKind kind);
    void candidate(const CandidateRecord &candidate);
    // The ranking: rank, hybrid, mean, CV, single crosses; an empty row; line, frequency.
    void ranking(const RankingResult &ranking);

    // Everything is on disk and the file replaced.
    void commit();
    // The last row ended, for a caller that replaces the file together with others.
    ReplacingFile &finished();

private:
    void separate();

    ReplacingFile m_file;
    char m_separator;
    FormatSettings m_numbers;
    std::string m_row;
    bool m_rowStarted = false;
};

} // namespace koravel
