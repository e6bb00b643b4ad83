// The tables of the diallel analysis written as a CSV file or an XLSX workbook, each through a
// temporary file that replaces the target only once complete.
#pragma once

#include <string>
#include <vector>

#include "analysis/diallel_tables.h"
#include "report/replacing_file.h"

struct lxw_workbook;

namespace koravel {

class CsvWriter;

// The tables one below the other, an empty row between two, through the writer (UTF-8 with its
// byte-order mark, fields quoted where they need it); numbers with the decimal mark given, which
// should be the writer's: 4 decimals, p values as "5,667E-12".
//   the GCA table's row for line 1 named B73 with {';', ','}: "1;B73;254,5375;9,3508"
void writeDiallelCsv(CsvWriter &csv, const std::vector<DiallelTable> &tables, char decimalMark);

// One worksheet per table, named by its title; numbers as numbers shown with 4 decimals, p
// values as "0.000E+00", empty cells left empty.
class DiallelWorkbook
{
public:
    explicit DiallelWorkbook(const std::string &path);
    // Without finished() the target is left as it was.
    ~DiallelWorkbook();
    DiallelWorkbook(const DiallelWorkbook &) = delete;
    DiallelWorkbook &operator=(const DiallelWorkbook &) = delete;

    // Writes the tables and closes the workbook; the caller replaces the target (commit(), or
    // commitTogether with the run's other outputs).
    ReplacingFile &finished(const std::vector<DiallelTable> &tables);

private:
    ReplacingFile m_file;
    lxw_workbook *m_workbook = nullptr;
};

} // namespace koravel
