// The size of a report before it is written, and the refusals of the window and the command line.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "error_of.h"
#include "fixtures.h"
#include "progress.h"
#include "report/report_line.h"
#include "report/size_limits.h"

namespace koravel {
namespace {

    constexpr HybridKind HD = HybridKind::DoubleCross;
    constexpr HybridKind HT = HybridKind::ThreeWayCross;

    // 128-bit numbers from their decimal text, for expected values beyond 64 bits.
    ReportCount count(std::string_view digits)
    {
        ReportCount value = 0;
        for (const char digit : digits)
            value = value * 10 + ReportCount(digit - '0');
        return value;
    }

    // Counts the lines and bytes a prediction writes, each line with its CR LF.
    struct ByteCounter : ReportSink, MessageSink
    {
        void clear() override { lines = bytes = 0; }
        void appendLine(std::string_view line) override
        {
            ++lines;
            bytes += line.size() + 2;
        }
        void information(const std::string &) override { }
        std::uint64_t lines = 0, bytes = 0;
    };

    TEST(ReportSize, LinesAreTheCandidatesPlusHeaderAndRule)
    {
        // 3 * C(n, 4) + 8 and 3 * C(n, 3) + 8, worked out with Python's math.comb; the runs below
        // and the command line's refusals show more.
        const struct
        {
            HybridKind kind;
            std::int64_t n;
            const char *lines;
        } rows[] = {
            { HD, 3, "8" },
            { HD, 100, "11763683" },
            { HD, 2147483647, "2658455979190431373129937688767496203" },
            { HT, 1000, "498501008" },
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(row.kind == HD ? "HD " : "HT ") + std::to_string(row.n));
            EXPECT_EQ(
                groupedCount(reportSize(row.kind, row.n).lines), groupedCount(count(row.lines)));
        }
    }

    TEST(ReportSize, BytesAreExactWhenEveryValueIsOneCharacter)
    {
        // With every single cross 5, each line is as short as its layout allows: mean "5.000",
        // CV "0.0", values "5". The prediction's own output is the reference; n = 12 and 15 mix
        // one- and two-digit parents.
        for (const HybridKind kind : { HD, HT }) {
            for (const int n : { 4, 5, 12, 15 }) {
                SCOPED_TRACE(std::to_string(n) + (kind == HD ? " HD" : " HT"));
                const CellGrid grid = test::halfDiallel(n, "5");
                const std::string field = std::to_string(n);
                const PredictionInput input { grid, field, Reciprocals::Either, {} };
                ByteCounter written;
                ProgressBar progress;
                if (kind == HD)
                    predictDoubleCrosses(input, written, progress, written);
                else
                    predictThreeWayCrosses(input, written, progress, written);
                const ReportSize size = reportSize(kind, n);
                EXPECT_EQ(std::uint64_t(size.lines), written.lines);
                EXPECT_EQ(std::uint64_t(size.bytes), written.bytes);
            }
        }
    }

    TEST(ReportSize, TextsInPortuguese)
    {
        const std::pair<ReportCount, const char *> counts[] = { { 0, "0" }, { 999, "999" },
            { 1000, "1.000" }, { 194054858, "194.054.858" },
            { ~std::uint64_t(0), "18.446.744.073.709.551.615" } };
        for (const auto &[value, text] : counts)
            EXPECT_EQ(groupedCount(value), text);
        const std::pair<ReportCount, const char *> sizes[] = { { 65536, "65.536 bytes" },
            { 999999, "999.999 bytes" }, { 1000000, "1,0 MB" }, { 612387280, "612,4 MB" },
            { 28649999999, "28,6 GB" }, { 28650000000, "28,7 GB" },
            { ReportCount(17179869184), "17,2 GB" }, { ReportCount(6213000000000), "6,2 TB" },
            { count("999949999999999"), "999,9 TB" },
            { count("1234567000000000000"), "1.234.567 TB" } };
        for (const auto &[value, text] : sizes)
            EXPECT_EQ(byteSizeText(value), text);
    }

    TEST(WindowLimit, RefusesWhatTheMemoryCannotHoldAndNothingElse)
    {
        constexpr std::uint64_t k16GiB = std::uint64_t(16) << 30;
        // The window's own limit lies between a little and 16 GiB on any machine.
        EXPECT_LE(windowMemoryLimit(), k16GiB);
        EXPECT_GT(windowMemoryLimit(), std::uint64_t(0));
        // n = 100, the spin control's largest, fits in 2 GB; n = 150 fits in 16 GiB.
        EXPECT_EQ(errorOf([] { checkWindowReport(HD, "100", 2000000000); }), "no error");
        EXPECT_EQ(errorOf([] { checkWindowReport(HD, "150", k16GiB); }), "no error");
        EXPECT_EQ(errorOf([] { checkWindowReport(HT, "500", k16GiB); }), "no error");
        // A field that is not an integer raises the prediction's own error.
        EXPECT_EQ(errorOf([] { checkWindowReport(HD, "abc", k16GiB); }),
            "'abc' is not a valid integer value");
        EXPECT_EQ(errorOf([] { checkWindowReport(HD, "200", k16GiB); }),
            "Com 200 linhagens, o relat\xF3rio de HDs teria 194.054.858 linhas e precisaria de "
            "cerca de 26,7 GB de mem\xF3ria, mais do que a janela do relat\xF3rio pode usar neste "
            "computador (17,2 GB). Use menos linhagens, ou o koravel-cli, que grava o relat\xF3rio "
            "direto em arquivo.");
    }

    TEST(StreamLimit, RefusesOnlyWhatCannotBeCountedOrStored)
    {
        // Some 5.4 TB go to standard output: nothing is refused. The command line's tests show
        // the messages.
        EXPECT_EQ(errorOf([] { checkStreamedReport(HD, "1000"); }), "no error");
        // The largest n whose line count still fits in a signed 64-bit number, and the next.
        EXPECT_EQ(errorOf([] { checkStreamedReport(HD, "92683"); }), "no error");
        EXPECT_NE(errorOf([] { checkStreamedReport(HD, "92684"); }), "no error");
        EXPECT_EQ(errorOf([] { checkStreamedReport(HT, "2642246"); }), "no error");
        EXPECT_NE(errorOf([] { checkStreamedReport(HT, "2642247"); }), "no error");
        // To a file: the bytes must fit in the free space.
        EXPECT_EQ(errorOf([] { checkStreamedReport(HD, "4", 65536, "/m/r.txt"); }), "no error");
        EXPECT_EQ(errorOf([] { checkStreamedReport(HD, "30", 65536, "/m/r.txt"); }),
            "Com 30 linhagens, o relat\xF3rio de HDs teria 82.223 linhas, pelo menos 3,2 MB, e "
            "s\xF3 h\xE1 65.536 bytes livres para \"/m/r.txt\".");
    }

} // namespace
} // namespace koravel
