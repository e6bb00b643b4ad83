// The report document: its lines, the append and delete rules, and the clean-up with its
// summary lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "report/report_document.h"
#include "report/report_format.h"

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

// An independent model of the text: lines found by scanning, and deleting one at a time as the
// clean-up describes, to compare with the document on texts of every kind of line end.
struct Segment
{
    std::size_t start, contentEnd, end;
};

std::vector<Segment> segmentsOf(const std::string &text)
{
    std::vector<Segment> segments;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t contentEnd = std::min(text.find_first_of("\r\n", at), text.size());
        const std::size_t breakLength = text.compare(contentEnd, 2, "\r\n") == 0 ? 2 : 1;
        segments.push_back({ at, contentEnd, std::min(contentEnd + breakLength, text.size()) });
        at = segments.back().end;
    }
    return segments;
}

// The document's lines against a fresh reading of its text.
void expectLinesOf(const ReportDocument &document)
{
    const std::vector<Segment> segments = segmentsOf(document.text());
    ASSERT_EQ(document.count(), segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i)
        EXPECT_EQ(document.line(i),
            document.text().substr(segments[i].start, segments[i].contentEnd - segments[i].start));
}

TEST(ReportDocumentEdit, LinesAndDeletionMatchAFreshReadingOfTheText)
{
    const char *pieces[] = { "a", "\r", "\n", "\r\n", "bc" };
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = static_cast<int>(random() % 30); i > 0; --i)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE(::testing::PrintToString(text));
        ReportDocument document = documentOf(text);
        expectLinesOf(document);
        while (document.count() > 0) {
            const std::size_t index = random() % document.count();
            const Segment gone = segmentsOf(text)[index];
            text.erase(gone.start, gone.end - gone.start);
            document.deleteLine(index);
            ASSERT_EQ(document.text(), text);
            expectLinesOf(document);
        }
    }
}

// A report as a prediction writes it: the header block, the candidate lines, the closing rule.
std::string reportText(const Lines &candidates)
{
    std::string text;
    for (const std::string_view line : headerBlock(HybridKind::DoubleCross))
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

// The counts come from line positions, so an empty document counts -8 candidates.
TEST(CleanUp, EmptyDocumentGetsTheSummaryAlone)
{
    ReportDocument document;
    EXPECT_EQ(counts(cleanUpReport(document)), "-8 0 -8");
    EXPECT_EQ(linesOf(document), summary(-8, 0, -8));
}

TEST(CleanUp, FalsoTypedByTheUserTheHeaderAndLongLines)
{
    const std::string inside = std::string(4091, 'x') + "FALSO"; // ends at character 4096
    const std::string outside = std::string(4092, 'x') + "FALSO"; // its O is character 4097
    std::string text = reportText({ candidate(2), "user typed FALSO here", inside, outside });
    text.replace(text.find("Desenvolvido"), 12, "FALSO header"); // index 2: never examined
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

// Deleting the FALSO lines one at a time, as the clean-up describes.
std::string oneByOneCleanUp(std::string text)
{
    if (segmentsOf(text).size() <= 8)
        return text;
    for (std::size_t i = 7;;) {
        const std::vector<Segment> segments = segmentsOf(text);
        if (i >= segments.size())
            return text;
        const Segment &s = segments[i];
        if (text.substr(s.start, std::min<std::size_t>(s.contentEnd - s.start, 4096)).find("FALSO")
            != std::string::npos)
            text.erase(s.start, s.end - s.start);
        else
            ++i;
    }
}

TEST(CleanUp, OnePassMatchesDeletingOneLineAtATime)
{
    const char *pieces[] = { "FALSO", "x", "HD (1x2)", "\r", "\n", "\r\n", "falso", "\r\n" };
    std::mt19937 random(20100);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE(::testing::PrintToString(text));

        ReportDocument document = documentOf(text);
        const std::size_t before = segmentsOf(text).size();
        const CleanUpSummary got = cleanUpReport(document);

        const std::string cleaned = oneByOneCleanUp(text);
        const auto n1 = static_cast<long long>(segmentsOf(cleaned).size()) + 1;
        EXPECT_EQ(got.total, static_cast<long long>(before) - 8);
        EXPECT_EQ(got.removed, got.total - (n1 - 9));
        ASSERT_EQ(document.text().substr(0, cleaned.size()), cleaned);
        expectLinesOf(document);
    }
}

} // namespace
