// Spreadsheet export: quoting, and the options and sizes refused before anything is written. The
// bytes of every export are the golden files' (golden_report_test, golden_test); its targets are
// the replacing writer's (file_writer_test).
#include <gtest/gtest.h>

#include "error_of.h"
#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "export/spreadsheet_export.h"
#include "fixtures.h"
#include "report/report_document.h"

using namespace koravel;
using namespace koravel::test;

namespace {

namespace fs = std::filesystem;

const FormatSettings kDot { '.' };
const std::string kBom = "\xEF\xBB\xBF";

class Export : public ::testing::Test
{
protected:
    std::string path(const std::string &name) const { return m_dir / name; }
    std::size_t filesInFolder() const { return m_dir.names().size(); }
    static std::string contentOf(const std::string &file) { return readBytes(file); }
    void write(const std::string &name, const std::string &text) const
    {
        m_dir.file(fs::path(name).filename().string(), text);
    }

    TempDir m_dir;
};

TEST_F(Export, CsvQuotesQuotesAndLineBreaks)
{
    CsvWriter csv(path("q.csv"), { ',', '.' });
    for (const std::string_view text : { "a\"b", "a,b", "a\nb", "a\rb", "ab" })
        csv.field(text);
    csv.commit();
    EXPECT_EQ(contentOf(path("q.csv")), kBom + "\"a\"\"b\",\"a,b\",\"a\nb\",\"a\rb\",ab\r\n");
}

TEST_F(Export, CsvOptionsRefusedBeforeAnythingIsWritten)
{
    const std::string same = "O separador de campos e a marca decimal do CSV devem ser diferentes";
    const std::string badSeparator = "O separador de campos do CSV n\xE3o pode ser aspas, quebra "
                                     "de linha, algarismo nem caractere fora do ASCII";
    const std::string badMark = "A marca decimal do CSV deve ser ponto ou v\xEDrgula";
    const struct
    {
        const char *name;
        CsvOptions options;
        std::string error;
    } rows[] = {
        { "semicolonTwice", { ';', ';' }, badMark },
        { "commaTwice", { ',', ',' }, same },
        { "quote", { '"', ',' }, badSeparator },
        { "digit", { '0', '.' }, badSeparator },
        { "latin1", { '\xA7', ',' }, badSeparator },
        { "tabComma", { '\t', ',' }, "no error" },
    };
    write(path("old.csv"), "old");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(errorOf([&] { checkCsvOptions(row.options); }), row.error);
        if (row.error == "no error")
            continue;
        EXPECT_EQ(
            errorOf([&] { exportReportCsv(path("old.csv"), ReportDocument(), kDot, row.options); }),
            row.error);
        EXPECT_EQ(errorOf([&] { exportRankingCsv(path("old.csv"), RankingResult(), row.options); }),
            row.error);
        EXPECT_EQ(contentOf(path("old.csv")), "old");
        EXPECT_EQ(filesInFolder(), 1u);
    }
}

TEST_F(Export, XlsxRefusesMoreCandidatesThanASheetHolds)
{
    const std::string message = "A planilha comporta no m\xE1ximo 1048575 h\xED"
                                "bridos; este relat\xF3rio tem 1048576";
    EXPECT_EQ(errorOf([&] {
        CandidateWorkbook(path("big.xlsx"), HybridKind::DoubleCross, kMaxSheetRows + 1, true);
    }),
        message);
    EXPECT_EQ(filesInFolder(), 0u);

    std::string text;
    for (std::size_t i = 0; i <= kMaxSheetRows; ++i)
        text += "HD (1x2)(3x4) =>\r\n";
    ReportDocument document;
    document.setText(std::move(text));
    write(path("big.xlsx"), "old");
    EXPECT_EQ(
        errorOf([&] { exportReportXlsx(path("big.xlsx"), document, kDot, nullptr); }), message);
    EXPECT_EQ(contentOf(path("big.xlsx")), "old");
    EXPECT_EQ(filesInFolder(), 1u);
}

} // namespace
