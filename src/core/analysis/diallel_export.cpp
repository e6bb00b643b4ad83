// The diallel tables as CSV rows and as worksheets.
#include "analysis/diallel_export.h"

#include <xlsxwriter.h>

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "numtext/error.h"

namespace koravel {

void writeDiallelCsv(CsvWriter &csv, const std::vector<DiallelTable> &tables, char decimalMark)
{
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (t > 0)
            csv.endRow(); // an empty row between two tables
        for (const std::string &title : tables[t].header)
            csv.field(title);
        csv.endRow();
        for (const auto &row : tables[t].rows) {
            for (const DiallelCell &cell : row)
                csv.field(cellText(cell, decimalMark));
            csv.endRow();
        }
    }
}

DiallelWorkbook::DiallelWorkbook(const std::string &path)
    : m_file(path)
{
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    m_workbook = workbook_new_opt(m_file.temporaryPath().c_str(), &options);
    if (m_workbook == nullptr)
        throw Error(cannotCreateFileMessage(m_file.shownPath(), "Out of memory"));
}

DiallelWorkbook::~DiallelWorkbook()
{
    if (m_workbook != nullptr)
        lxw_workbook_free(m_workbook);
}

ReplacingFile &DiallelWorkbook::finished(const std::vector<DiallelTable> &tables)
{
    const auto check = [this](lxw_error error) {
        if (error != LXW_NO_ERROR)
            throw Error(cannotCreateFileMessage(m_file.shownPath(), lxw_strerror(error)));
    };
    lxw_format *title = workbook_add_format(m_workbook);
    lxw_format *fixed = workbook_add_format(m_workbook);
    lxw_format *scientific = workbook_add_format(m_workbook);
    if (title == nullptr || fixed == nullptr || scientific == nullptr)
        throw Error(cannotCreateFileMessage(m_file.shownPath(), "Out of memory"));
    format_set_bold(title);
    format_set_num_format(fixed, "0.0000");
    format_set_num_format(scientific, "0.000E+00");
    for (const DiallelTable &table : tables) {
        lxw_worksheet *sheet = workbook_add_worksheet(m_workbook, table.title.c_str());
        if (sheet == nullptr)
            throw Error(cannotCreateFileMessage(m_file.shownPath(), "Out of memory"));
        worksheet_freeze_panes(sheet, 1, 0);
        worksheet_set_column(sheet, 0, lxw_col_t(table.header.size() - 1), 14, nullptr);
        for (std::size_t c = 0; c < table.header.size(); ++c)
            check(worksheet_write_string(sheet, 0, lxw_col_t(c), table.header[c].c_str(), title));
        lxw_row_t row = 0;
        for (const auto &cells : table.rows) {
            ++row;
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const DiallelCell &cell = cells[c];
                const lxw_col_t column = lxw_col_t(c);
                const double value = double(cell.number);
                switch (cell.kind) {
                case DiallelCell::Kind::Empty:
                    break;
                case DiallelCell::Kind::Text:
                    check(worksheet_write_string(sheet, row, column, cell.text.c_str(), nullptr));
                    break;
                case DiallelCell::Kind::Integer:
                    check(worksheet_write_number(sheet, row, column, value, nullptr));
                    break;
                case DiallelCell::Kind::Number:
                    check(worksheet_write_number(sheet, row, column, value, fixed));
                    break;
                case DiallelCell::Kind::PValue:
                    check(worksheet_write_number(sheet, row, column, value, scientific));
                    break;
                }
            }
        }
    }
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr; // closing frees it, whatever the outcome
    closeWorkbook(workbook, m_file);
    return m_file;
}

} // namespace koravel
