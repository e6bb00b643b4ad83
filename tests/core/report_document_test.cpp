// The report document: its lines, the append and delete rules, and the clean-up with its
// summary lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_document.h"

using namespace koravel;

namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const ReportDocument &document)
{
    Lines lines;
    for (std::size_t i = 0; i < document.count(); ++i)
        lines.emplace_back(document.line(i));
    return lines;
}

ReportDocument documentOf(const std::string &text)
{
    ReportDocument document;
    document.setText(text);
    return document;
}

TEST(ReportDocumentLines, LineEndsAndTheFinalRemainder)
{
    const struct
    {
        const char *name;
        std::string text;
        Lines lines;
    } rows[] = {
        { "lfCrIsTwoBreaks", "a\n\rb", { "a", "", "b" } },
        { "emptyLines", "\r\n\r\nx\r\n\n", { "", "", "x", "" } },
        { "first4096Characters", std::string(4096, 'a') + "bc\r\nnext",
            { std::string(4096, 'a'), "next" } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const ReportDocument document = documentOf(row.text);
        EXPECT_EQ(linesOf(document), row.lines);
        EXPECT_EQ(document.text(), row.text);
        EXPECT_EQ(document.line(row.lines.size()), "");
    }
}

TEST(ReportDocumentEdit, AppendAfterABreakOrBeforeCrLf)
{
    const struct
    {
        const char *name;
        std::string text;
        Lines appended;
        std::string after;
        std::size_t count;
    } rows[] = {
        { "empty", "", { "rule", "", "HD" }, "rule\r\n\r\nHD\r\n", 3 },
        { "afterLoneBreaks", "typed\nby hand\r", { "x" }, "typed\nby hand\rx\r\n", 3 },
        { "noFinalBreak", "a\r\nlast", { "b", "c" }, "a\r\nlast\r\nb\r\nc", 4 },
        // The final CR and the appended LF make one break.
        { "lineHoldingBreaks", "a\r", { "\nb", "c\rd" }, "a\r\nb\r\nc\rd\r\n", 4 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ReportDocument document = documentOf(row.text);
        for (const std::string &line : row.appended)
            document.appendLine(line);
        EXPECT_EQ(document.text(), row.after);
        EXPECT_EQ(linesOf(document), linesOf(documentOf(row.after)));
        EXPECT_EQ(document.count(), row.count);
    }
    ReportDocument document = documentOf("a\r\nb");
    document.clear();
    document.appendLine("again");
    EXPECT_EQ(document.text(), "again\r\n");
    // Deleting past the end changes nothing; "b\n" goes and leaves "a\r" before "\n".
    document.setText("a\rb\n\nc\r\n");
    document.deleteLine(4);
    document.deleteLine(1);
    EXPECT_EQ(document.text(), "a\r\nc\r\n");
    EXPECT_EQ(linesOf(document), (Lines { "a", "c" }));
}

// A report's shape: seven header lines (the third says FALSO: the header is never examined),
// the candidate lines, the closing rule.
std::string reportText(const Lines &candidates)
{
    std::string text;
    for (const char *line : { "-", "title", "FALSO header", "-", "", "headings", "" })
        text.append(line).append("\r\n");
    for (const std::string &line : candidates)
        text += line + "\r\n";
    return text + std::string(128, '-') + "\r\n";
}

std::string candidate(int i)
{
    return "HD (1x" + std::to_string(i) + ")(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";
}

Lines summary(long long t, long long e, long long p)
{
    return { "Hibridos possiveis totais= " + std::to_string(t),
        "Hibridos Falso preditos excluidos = " + std::to_string(e),
        "Hibridos Reais preditos = " + std::to_string(p) };
}

std::string counts(const CleanUpSummary &got)
{
    return std::to_string(got.total) + " " + std::to_string(got.removed) + " "
        + std::to_string(got.predicted);
}

TEST(CleanUp, RemovesFalsoLinesAndCountsThem)
{
    // FALSO at the first candidate index, two in a row, and a line of real candidates between.
    ReportDocument document = documentOf(reportText({ "FALSO " + candidate(1), candidate(2),
        candidate(3), "FALSO " + candidate(4), "FALSO " + candidate(5), candidate(6), candidate(7),
        candidate(8), candidate(9), candidate(10) }));
    Lines expected = linesOf(document);
    ASSERT_EQ(expected.size(), 18u);
    EXPECT_EQ(counts(cleanUpReport(document)), "10 3 7");

    expected.erase(expected.begin() + 10, expected.begin() + 12);
    expected.erase(expected.begin() + 7);
    for (const std::string &line : summary(10, 3, 7))
        expected.push_back(line);
    EXPECT_EQ(linesOf(document), expected);
    EXPECT_EQ(
        document.text().substr(document.text().size() - 29), "Hibridos Reais preditos = 7\r\n");

    // A second clean-up counts the earlier summary as candidates and removes nothing.
    EXPECT_EQ(counts(cleanUpReport(document)), "10 0 10");
    const Lines after = linesOf(document);
    EXPECT_EQ(Lines(after.begin(), after.begin() + 18), expected);
    EXPECT_EQ(document.count(), 21u);
}

// The counts come from line positions, so an empty document counts -8 candidates; a document
// of 8 lines loses nothing, not even a FALSO line 7.
TEST(CleanUp, ShortDocumentsLoseNothing)
{
    ReportDocument document;
    EXPECT_EQ(counts(cleanUpReport(document)), "-8 0 -8");
    EXPECT_EQ(linesOf(document), summary(-8, 0, -8));
    std::string text = reportText({ "FALSO " + candidate(1) });
    text.resize(text.size() - 130); // the rule goes: line 7 is the last
    document.setText(text);
    const Lines before = linesOf(document);
    EXPECT_EQ(counts(cleanUpReport(document)), "0 0 0");
    const Lines after = linesOf(document);
    EXPECT_EQ(Lines(after.begin(), after.begin() + 8), before);
}

TEST(CleanUp, FalsoTypedByTheUserTheHeaderAndLongLines)
{
    const std::string inside = std::string(4091, 'x') + "FALSO"; // ends at character 4096
    const std::string outside = std::string(4092, 'x') + "FALSO"; // its O is character 4097
    std::string text = reportText({ candidate(2), "user typed FALSO here", inside, outside });
    text.resize(text.size() - 2); // no break after the rule: each summary line follows a CR LF
    ReportDocument document = documentOf(text);
    EXPECT_EQ(counts(cleanUpReport(document)), "4 2 2");
    EXPECT_EQ(document.line(2).substr(0, 12), "FALSO header");
    EXPECT_EQ(document.line(7), candidate(2));
    EXPECT_EQ(document.line(8), std::string(4092, 'x') + "FALS");
    const std::string tail = outside + "\r\n" + std::string(128, '-')
        + "\r\nHibridos possiveis totais= 4\r\nHibridos Falso preditos excluidos = 2"
        + "\r\nHibridos Reais preditos = 2";
    ASSERT_GE(document.text().size(), tail.size());
    EXPECT_EQ(document.text().substr(document.text().size() - tail.size()), tail);
}

} // namespace
