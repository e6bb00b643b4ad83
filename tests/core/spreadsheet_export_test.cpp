// Spreadsheet export from the report window: the golden bytes, the options refused, the
// targets that cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "error_of.h"
#include "report/report_document.h"
#include "export/spreadsheet_export.h"
#include "unzipped.h"

using koravel::test::unzipped;

using namespace koravel;

namespace {

namespace fs = std::filesystem;

const FormatSettings kDot { '.' };

class Export : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path()
            / ("koravel_export_" + std::to_string(::getpid()) + "_"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string &name) const { return (m_folder / name).string(); }
    std::size_t filesInFolder() const
    {
        return std::size_t(std::distance(fs::directory_iterator(m_folder), {}));
    }
    static std::string contentOf(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void write(const std::string &file, const std::string &text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }

    fs::path m_folder;
};

const std::string kBom = "\xEF\xBB\xBF";

// The window's route to the spreadsheets (the report's text read back line by line) gives the
// bytes koravel-cli gave for the same report before records replaced its reading of lines.
TEST_F(Export, SameAsTheGoldenFiles)
{
    const std::string golden = KORAVEL_EXAMPLES_DIR "/../tests/data/golden/";
    for (const char *example : { "griffing56_maize", "dialelo_completo", "dialelo_incompleto",
             "dialelo_virgula" })
        for (const char *kind : { "hd", "ht" })
            for (const char *reciprocals : { "sim", "nao" }) {
                const std::string name = std::string(example) + "." + kind + "." + reciprocals;
                SCOPED_TRACE(name);
                const FormatSettings settings { name.starts_with("dialelo_virgula") ? ',' : '.' };
                ReportDocument document;
                document.setText(contentOf(golden + name + ".txt"));
                ASSERT_GT(document.count(), 8u);
                exportReportCsv(path("c.csv"), document, settings, {});
                EXPECT_EQ(contentOf(path("c.csv")), contentOf(golden + name + ".csv"));
                const bool hd = kind == std::string_view("hd");
                exportRankingCsv(path("r.csv"), rankReport(document, { 10, hd }, settings), {});
                EXPECT_EQ(contentOf(path("r.csv")), contentOf(golden + name + ".ranking.csv"));
                const std::string sheets = golden + name + ".xlsx.sheet";
                if (!fs::exists(sheets + "1.xml"))
                    continue;
                const RankingResult ranking = rankReport(document, { 5, false }, settings);
                exportReportXlsx(path("w.xlsx"), document, settings, &ranking);
                for (const char *sheet : { "1", "2" })
                    EXPECT_EQ(unzipped(path("w.xlsx"), "xl/worksheets/sheet" + std::string(sheet) + ".xml"),
                        contentOf(sheets + sheet + ".xml"));
            }
}

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
        { "dotTwice", { '.', '.' }, same },
        { "quote", { '"', ',' }, badSeparator },
        { "lineFeed", { '\n', ',' }, badSeparator },
        { "digit", { '0', '.' }, badSeparator },
        { "latin1", { '\xA7', ',' }, badSeparator },
        { "tabComma", { '\t', ',' }, "no error" },
        { "commaDot", { ',', '.' }, "no error" },
        { "dotComma", { '.', ',' }, "no error" },
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

TEST_F(Export, UnwritableTargetKeepsNothingBehind)
{
    const std::string missing = path("no/such/folder/x.csv");
    EXPECT_EQ(errorOf([&] { exportReportCsv(missing, ReportDocument(), kDot, {}); }),
        "Cannot create file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(errorOf([&] { exportReportXlsx(missing, ReportDocument(), kDot, nullptr); }),
        "Cannot create file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(filesInFolder(), 0u);
}

// A pipe or a device is written straight: a file renamed over it would take its place.
TEST_F(Export, APipeStaysAPipe)
{
    const std::string pipe = path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contentOf(pipe); });
    exportRankingCsv(pipe, RankingResult(), {});
    reader.join();
    EXPECT_EQ(received,
        kBom
            + "Posi\xC3\xA7\xC3\xA3o;H\xC3\xAD"
              "brido;M\xC3\xA9"
              "dia;CV%;HS(ik);HS(il);HS(jk);HS(jl)\r\n\r\nLinhagem;Frequ\xC3\xAAncia\r\n");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(filesInFolder(), 1u);
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
