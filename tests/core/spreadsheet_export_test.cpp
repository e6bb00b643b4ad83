// Spreadsheet export: the bytes of the CSV tables, the options refused, and an XLSX workbook
// read back from its sheet XML.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "export/candidate_workbook.h"
#include "export/csv_writer.h"
#include "error_of.h"
#include "report/report_document.h"
#include "report/report_format.h"
#include "export/spreadsheet_export.h"
#include "unzipped.h"

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

ReportDocument documentOf(HybridKind kind, std::initializer_list<std::string_view> candidates)
{
    ReportDocument document;
    for (const std::string_view line : headerBlock(kind))
        document.appendLine(line);
    for (const std::string_view line : candidates)
        document.appendLine(line);
    document.appendLine(reportRule());
    return document;
}

const ReportDocument kDoubleCrosses = documentOf(HybridKind::DoubleCross,
    { "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75",
        "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t5\t0\t4\t4",
        "HD (1x4)(2x3) =>\t4.000\t57.7\t2\t6\t2\t6" });

const std::string kBom = "\xEF\xBB\xBF";

TEST_F(Export, CandidatesCsv)
{
    const struct
    {
        const char *name;
        ReportDocument document;
        CsvOptions options;
        std::string expected;
    } rows[] = {
        { "semicolonComma", kDoubleCrosses, { ';', ',' },
            kBom
                + "H\xC3\xAD"
                  "brido;Linhagem i;Linhagem j;Linhagem k;Linhagem l;M\xC3\xA9"
                  "dia;CV%;HS(ik);HS(il);HS(jk);HS(jl);Falso\r\n"
                  "(1x2)(3x4);1;2;3;4;5,250;8,7;5;5,5;4,75;5,75;n\xC3\xA3o\r\n"
                  "(1x3)(2x4);1;3;2;4;;;5;0;4;4;sim\r\n"
                  "(1x4)(2x3);1;4;2;3;4,000;57,7;2;6;2;6;n\xC3\xA3o\r\n" },
        // A blank separator: the fields that hold one are quoted.
        { "blankDot", documentOf(HybridKind::ThreeWayCross, { "HT (1x2) 3 =>\t5.500\t12.9\t5\t6" }),
            { ' ', '.' },
            kBom
                + "H\xC3\xAD"
                  "brido \"Linhagem i\" \"Linhagem j\" \"Linhagem k\" M\xC3\xA9"
                  "dia CV% HS(ik) HS(jk) Falso\r\n"
                  "\"(1x2) 3\" 1 2 3 5.500 12.9 5 6 n\xC3\xA3o\r\n" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        exportReportCsv(path("c.csv"), row.document, kDot, row.options);
        EXPECT_EQ(contentOf(path("c.csv")), row.expected);
        EXPECT_EQ(filesInFolder(), 1u);
    }
}

TEST_F(Export, RankingCsv)
{
    const RankingResult ranking = rankReport(kDoubleCrosses, { 2, false }, kDot);
    exportRankingCsv(path("r.csv"), ranking, { ',', '.' });
    EXPECT_EQ(contentOf(path("r.csv")),
        kBom
            + "Posi\xC3\xA7\xC3\xA3o,H\xC3\xAD"
              "brido,M\xC3\xA9"
              "dia,CV%,HS(ik),HS(il),HS(jk),HS(jl)\r\n"
              "1,(1x2)(3x4),5.250,8.7,5,5.5,4.75,5.75\r\n"
              "2,(1x4)(2x3),4.000,57.7,2,6,2,6\r\n"
              "\r\n"
              "Linhagem,Frequ\xC3\xAAncia\r\n"
              "1,2\r\n2,2\r\n3,2\r\n4,2\r\n");
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
            errorOf([&] { exportReportCsv(path("old.csv"), kDoubleCrosses, kDot, row.options); }),
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
    EXPECT_EQ(errorOf([&] { exportReportCsv(missing, kDoubleCrosses, kDot, {}); }),
        "Cannot create file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(errorOf([&] { exportReportXlsx(missing, kDoubleCrosses, kDot, nullptr); }),
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

// The cells of a sheet as text: numbers from <v>, strings written inline from <is><t>.
std::string textBetween(const std::string &xml, std::size_t from, std::size_t to,
    std::string_view open, std::string_view close)
{
    const std::size_t begin = xml.find(open, from);
    if (begin == std::string::npos || begin >= to)
        return {};
    const std::size_t content = xml.find('>', begin) + 1;
    return xml.substr(content, xml.find(close, content) - content);
}

std::map<std::string, std::string> cellsOf(const std::string &xml)
{
    std::map<std::string, std::string> cells;
    constexpr std::string_view cellStart = "<c r=\"";
    for (std::size_t at = xml.find(cellStart); at != std::string::npos;
         at = xml.find(cellStart, at + 1)) {
        const std::size_t reference = at + cellStart.size();
        const std::size_t tagEnd = xml.find('>', reference);
        if (tagEnd == std::string::npos || xml[tagEnd - 1] == '/')
            continue; // an empty cell
        const std::size_t cellEnd = xml.find("</c>", tagEnd);
        const std::string name = xml.substr(reference, xml.find('"', reference) - reference);
        const std::string_view attributes(xml.data() + reference, tagEnd - reference);
        cells[name] = attributes.find("t=\"inlineStr\"") != std::string_view::npos
            ? "'" + textBetween(xml, tagEnd, cellEnd, "<t", "</t>")
            : textBetween(xml, tagEnd, cellEnd, "<v", "</v>");
    }
    return cells;
}

using koravel::test::unzipped;

TEST_F(Export, XlsxReadBack)
{
    const RankingResult ranking = rankReport(kDoubleCrosses, { 1, false }, kDot);
    write(path("w.xlsx"), "old");
    exportReportXlsx(path("w.xlsx"), kDoubleCrosses, kDot, &ranking);
    EXPECT_EQ(filesInFolder(), 1u);

    const std::string workbook = unzipped(path("w.xlsx"), "xl/workbook.xml");
    ASSERT_FALSE(workbook.empty()) << "unzip (scripts/setup.sh installs it) read nothing";
    EXPECT_NE(workbook.find("<sheet name=\"Candidatos\" sheetId=\"1\""), std::string::npos);
    EXPECT_NE(
        workbook.find("<sheet name=\"Ordena\xC3\xA7\xC3\xA3o\" sheetId=\"2\""), std::string::npos);

    auto cells = cellsOf(unzipped(path("w.xlsx"), "xl/worksheets/sheet1.xml"));
    const std::map<std::string, std::string> expected {
        { "A1",
            "'H\xC3\xAD"
            "brido" },
        { "L1", "'Falso" },
        { "A2", "'(1x2)(3x4)" },
        { "B2", "1" },
        { "E2", "4" },
        { "F2", "5.25" },
        { "H2", "5" },
        { "I2", "5.5" },
        { "J2", "4.75" },
        { "K2", "5.75" },
        { "L2", "'n\xC3\xA3o" },
        { "A3", "'(1x3)(2x4)" },
        { "I3", "0" },
        { "L3", "'sim" },
        { "F4", "4" },
    };
    for (const auto &[reference, value] : expected) {
        SCOPED_TRACE(reference);
        EXPECT_EQ(cells[reference], value);
    }
    // The CV as a number in full, not the one decimal the report shows: sqrt(0.625 / 3) / 5.25.
    EXPECT_NEAR(std::stod(cells["G2"]), 8.69400885, 1e-8);
    // A FALSO hybrid has no mean and no CV.
    EXPECT_EQ(cells.count("F3"), 0u);
    EXPECT_EQ(cells.count("G3"), 0u);
    EXPECT_EQ(cells.count("A5"), 0u);

    cells = cellsOf(unzipped(path("w.xlsx"), "xl/worksheets/sheet2.xml"));
    const std::map<std::string, std::string> rankingCells {
        { "A1", "'Posi\xC3\xA7\xC3\xA3o" },
        { "A2", "1" },
        { "B2", "'(1x2)(3x4)" },
        { "C2", "5.25" },
        { "E2", "5" },
        { "A4", "'Linhagem" },
        { "B4", "'Frequ\xC3\xAAncia" },
        { "A5", "1" },
        { "B5", "1" },
        { "A8", "4" },
        { "B8", "1" },
    };
    for (const auto &[reference, value] : rankingCells) {
        SCOPED_TRACE(reference);
        EXPECT_EQ(cells[reference], value);
    }
    EXPECT_EQ(cells.count("A3"), 0u);
    EXPECT_EQ(cells.count("A9"), 0u);
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
