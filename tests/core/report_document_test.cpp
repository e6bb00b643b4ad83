// The report document: its lines, the append and delete rules, and the clean-up with its
// summary lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "report_document.h"

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
    struct Row
    {
        const char *name;
        std::string text;
        Lines lines;
    };
    const Row rows[] = {
        { "empty", "", {} },
        { "oneBreak", "\r\n", { "" } },
        { "crLf", "a\r\nb\r\n", { "a", "b" } },
        { "lf", "a\nb\n", { "a", "b" } },
        { "cr", "a\rb\r", { "a", "b" } },
        { "noFinalBreak", "a\r\nb", { "a", "b" } },
        { "lfCrIsTwoBreaks", "a\n\rb", { "a", "", "b" } },
        { "emptyLines", "\r\n\r\nx\r\n\n", { "", "", "x", "" } },
        { "tabsKept", "\tHD (1x2)(3x4) =>\t5.250\r\n", { "\tHD (1x2)(3x4) =>\t5.250" } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ReportDocument document = documentOf(row.text);
        EXPECT_EQ(linesOf(document), row.lines);
        EXPECT_EQ(document.text(), row.text);
        EXPECT_EQ(document.line(row.lines.size()), "");
    }
}

TEST(ReportDocumentLines, OnlyTheFirst4096CharactersAreRead)
{
    const std::string longLine = std::string(4096, 'a') + "bc";
    const ReportDocument document = documentOf(longLine + "\r\nnext\r\n");
    EXPECT_EQ(document.count(), 2u);
    EXPECT_EQ(document.line(0), std::string(4096, 'a'));
    EXPECT_EQ(document.line(1), "next");
}

TEST(ReportDocumentAppend, AfterABreakTheLineIsFollowedByCrLf)
{
    ReportDocument document;
    document.appendLine("rule");
    document.appendLine("");
    document.appendLine("HD (1x2)(3x4) =>");
    EXPECT_EQ(document.text(), "rule\r\n\r\nHD (1x2)(3x4) =>\r\n");
    EXPECT_EQ(linesOf(document), (Lines { "rule", "", "HD (1x2)(3x4) =>" }));

    document.setText("typed\nby hand\r");
    document.appendLine("x");
    EXPECT_EQ(document.text(), "typed\nby hand\rx\r\n");
    EXPECT_EQ(document.count(), 3u);

    document.clear();
    EXPECT_EQ(document.count(), 0u);
    document.appendLine("again");
    EXPECT_EQ(document.text(), "again\r\n");
}

TEST(ReportDocumentAppend, ALineHoldingABreakGivesTheLinesOfTheText)
{
    ReportDocument document = documentOf("a\r");
    document.appendLine("\nb"); // the final CR and this LF make one break
    document.appendLine("c\rd");
    EXPECT_EQ(document.text(), "a\r\nb\r\nc\rd\r\n");
    EXPECT_EQ(linesOf(document), (Lines { "a", "b", "c", "d" }));
}

TEST(ReportDocumentAppend, WithoutAFinalBreakTheLineIsPrecededByCrLf)
{
    ReportDocument document = documentOf("a\r\nlast");
    document.appendLine("b");
    document.appendLine("c");
    EXPECT_EQ(document.text(), "a\r\nlast\r\nb\r\nc");
    EXPECT_EQ(linesOf(document), (Lines { "a", "last", "b", "c" }));
}

TEST(ReportDocumentDelete, TheLineGoesWithItsBreak)
{
    ReportDocument document = documentOf("a\r\nb\nc\rd");
    document.deleteLine(1);
    EXPECT_EQ(document.text(), "a\r\nc\rd");
    document.deleteLine(2);
    EXPECT_EQ(document.text(), "a\r\nc\r");
    document.deleteLine(5);
    EXPECT_EQ(linesOf(document), (Lines { "a", "c" }));
    document.deleteLine(0);
    document.deleteLine(0);
    EXPECT_EQ(document.text(), "");
    EXPECT_EQ(document.count(), 0u);
}

TEST(ReportDocumentDelete, ALoneCrMeetingAnLfBecomesOneBreak)
{
    // Deleting "b\n" leaves "a\r" before "\n": the empty line after it is a line no more.
    ReportDocument document = documentOf("a\rb\n\nc\r\n");
    document.deleteLine(1);
    EXPECT_EQ(document.text(), "a\r\nc\r\n");
    EXPECT_EQ(linesOf(document), (Lines { "a", "c" }));
}

// A report as a prediction writes it: the header block, the candidate lines, the closing rule.
std::string reportText(const Lines &candidates)
{
    const std::string rule(128, '-');
    std::string text = rule
        + "\r\nAPLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
          "BRIDOS DUPLOS\r\n"
        + "Desenvolvido por Vescarin - 16/10/2008\r\n" + rule + "\r\n\r\n"
        + "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)\r\n\r\n";
    for (const std::string &line : candidates)
        text += line + "\r\n";
    return text + rule + "\r\n";
}

std::string candidate(int i)
{
    return "HD (1x" + std::to_string(i) + ")(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75";
}

std::string falso(int i)
{
    return "FALSO HD (1x" + std::to_string(i) + ")(3x4) =>\t0.000\t0.0\t0\t5.5\t4.75\t5.75";
}

Lines summary(long long t, long long e, long long p)
{
    return { "Hibridos possiveis totais= " + std::to_string(t),
        "Hibridos Falso preditos excluidos = " + std::to_string(e),
        "Hibridos Reais preditos = " + std::to_string(p) };
}

void expectSummary(const CleanUpSummary &got, long long t, long long e, long long p)
{
    EXPECT_EQ(got.total, t);
    EXPECT_EQ(got.removed, e);
    EXPECT_EQ(got.predicted, p);
}

TEST(CleanUp, RemovesFalsoLinesAndCountsThem)
{
    // FALSO at the first candidate index, two in a row, and a line of real candidates between.
    const Lines candidates = { falso(1), candidate(2), candidate(3), falso(4), falso(5),
        candidate(6), candidate(7), candidate(8), candidate(9), candidate(10) };
    ReportDocument document = documentOf(reportText(candidates));
    ASSERT_EQ(document.count(), 18u);
    const Lines written = linesOf(document);
    const Lines header(written.begin(), written.begin() + 7);

    expectSummary(cleanUpReport(document), 10, 3, 7);

    Lines expected = header;
    for (int i : { 2, 3, 6, 7, 8, 9, 10 })
        expected.push_back(candidate(i));
    expected.push_back(std::string(128, '-'));
    for (const std::string &line : summary(10, 3, 7))
        expected.push_back(line);
    EXPECT_EQ(document.count(), 18u);
    EXPECT_EQ(linesOf(document), expected);
    EXPECT_EQ(
        document.text().substr(document.text().size() - 29), "Hibridos Reais preditos = 7\r\n");
}

TEST(CleanUp, SummariesOfDocumentsThatLoseNothing)
{
    struct Row
    {
        const char *name;
        std::string text;
        long long t, e, p;
        std::size_t lines;
    };
    const std::string eightWithFalso =
        reportText({}).substr(0, reportText({}).size() - 130) + "FALSO typed in line 7\r\n";
    const Row rows[] = {
        { "noFalso", reportText({ candidate(2), candidate(3), candidate(4), candidate(5) }), 4, 0,
            4, 15 },
        { "noCandidate", reportText({}), 0, 0, 0, 11 },
        { "exactlyEightLinesKeepsLineSeven", eightWithFalso, 0, 0, 0, 11 },
        { "empty", "", -8, 0, -8, 3 },
        { "lowerCaseStays", reportText({ candidate(2), "falso HD (1x3)(2x4)", "Falso" }), 3, 0, 3,
            14 },
        { "fewLines", "a\r\nb\r\n", -6, 0, -6, 5 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ReportDocument document = documentOf(row.text);
        const Lines before = linesOf(document);
        expectSummary(cleanUpReport(document), row.t, row.e, row.p);
        Lines expected = before;
        for (const std::string &line : summary(row.t, row.e, row.p))
            expected.push_back(line);
        EXPECT_EQ(linesOf(document), expected);
        EXPECT_EQ(document.count(), row.lines);
    }
}

TEST(CleanUp, FalsoTypedByTheUserAndTheHeaderBlock)
{
    Lines candidates = { candidate(2), "user typed FALSO here", candidate(4) };
    std::string text = reportText(candidates);
    text.replace(text.find("Desenvolvido"), 12, "FALSO header"); // index 2: never examined
    // Index 10 is the closing rule; made a FALSO line too, it goes like any other.
    ReportDocument document = documentOf(text.substr(0, text.size() - 130) + "FALSO rule\r\n");
    expectSummary(cleanUpReport(document), 3, 2, 1);
    EXPECT_EQ(document.line(2), "FALSO header por Vescarin - 16/10/2008");
    EXPECT_EQ(document.line(7), candidate(2));
    EXPECT_EQ(document.line(8), candidate(4));
    EXPECT_EQ(document.line(9), summary(3, 2, 1)[0]);
    EXPECT_EQ(document.count(), 12u);
}

TEST(CleanUp, OnlyTheFirst4096CharactersAreSearched)
{
    const std::string inside = std::string(4091, 'x') + "FALSO"; // ends at character 4096
    const std::string outside = std::string(4092, 'x') + "FALSO"; // its O is character 4097
    ReportDocument document = documentOf(reportText({ inside, outside }));
    expectSummary(cleanUpReport(document), 2, 1, 1);
    EXPECT_EQ(document.line(7), std::string(4092, 'x') + "FALS");
    EXPECT_NE(document.text().find(outside + "\r\n"), std::string::npos);
}

TEST(CleanUp, SecondCleanUpCountsTheEarlierSummaryAsCandidates)
{
    ReportDocument document =
        documentOf(reportText({ candidate(2), falso(3), candidate(4), candidate(5) }));
    expectSummary(cleanUpReport(document), 4, 1, 3);
    const Lines before = linesOf(document);
    expectSummary(cleanUpReport(document), 6, 0, 6);
    const Lines after = linesOf(document);
    EXPECT_EQ(Lines(after.begin(), after.begin() + 14), before);
    EXPECT_EQ(document.count(), 17u);
}

TEST(CleanUp, WithoutAFinalBreakEachSummaryLineIsPrecededByCrLf)
{
    std::string text = reportText({ candidate(2), falso(3) });
    text.resize(text.size() - 2); // the user removed the break after the closing rule
    ReportDocument document = documentOf(text);
    expectSummary(cleanUpReport(document), 2, 1, 1);
    const std::string rule(128, '-');
    const std::string tail = rule + "\r\nHibridos possiveis totais= 2"
        + "\r\nHibridos Falso preditos excluidos = 1\r\nHibridos Reais preditos = 1";
    ASSERT_GE(document.text().size(), tail.size());
    EXPECT_EQ(document.text().substr(document.text().size() - tail.size()), tail);
    EXPECT_EQ(document.count(), 12u);
}

// An independent model of the text: lines found by scanning, and deleting one at a time as the
// clean-up describes, to compare with the one-pass clean-up on texts of every kind of line end.
struct Segment
{
    std::size_t start, contentEnd, end;
};

std::vector<Segment> segmentsOf(const std::string &text)
{
    std::vector<Segment> segments;
    std::size_t at = 0;
    while (at < text.size()) {
        Segment segment { at, at, at };
        while (segment.contentEnd < text.size() && text[segment.contentEnd] != '\r'
            && text[segment.contentEnd] != '\n')
            ++segment.contentEnd;
        segment.end = segment.contentEnd;
        if (segment.end < text.size()) {
            if (text.compare(segment.end, 2, "\r\n") == 0)
                segment.end += 2;
            else
                segment.end += 1;
        }
        segments.push_back(segment);
        at = segment.end;
    }
    return segments;
}

std::string oneByOneCleanUp(std::string text)
{
    const std::size_t n = segmentsOf(text).size();
    if (n > 8) {
        std::size_t i = 7;
        for (;;) {
            const std::vector<Segment> segments = segmentsOf(text);
            if (i >= segments.size())
                break;
            const Segment &s = segments[i];
            const std::string line =
                text.substr(s.start, std::min<std::size_t>(s.contentEnd - s.start, 4096));
            if (line.find("FALSO") != std::string::npos)
                text.erase(s.start, s.end - s.start);
            else
                ++i;
        }
    }
    return text;
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
        // The index agrees with a fresh reading of the text.
        const std::vector<Segment> segments = segmentsOf(document.text());
        ASSERT_EQ(document.count(), segments.size());
        for (std::size_t i = 0; i < segments.size(); ++i)
            EXPECT_EQ(document.line(i),
                document.text().substr(
                    segments[i].start, segments[i].contentEnd - segments[i].start));
    }
}

TEST(ReportDocumentDelete, MatchesAFreshReadingOfTheText)
{
    const char *pieces[] = { "a", "\r", "\n", "\r\n", "bc" };
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = static_cast<int>(random() % 30); i > 0; --i)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE(::testing::PrintToString(text));
        ReportDocument document = documentOf(text);
        ASSERT_EQ(document.count(), segmentsOf(text).size());
        while (document.count() > 0) {
            const std::size_t index = random() % document.count();
            const Segment gone = segmentsOf(text)[index];
            text.erase(gone.start, gone.end - gone.start);
            document.deleteLine(index);
            ASSERT_EQ(document.text(), text);
            const std::vector<Segment> segments = segmentsOf(text);
            ASSERT_EQ(document.count(), segments.size());
            for (std::size_t i = 0; i < segments.size(); ++i)
                EXPECT_EQ(document.line(i),
                    text.substr(segments[i].start, segments[i].contentEnd - segments[i].start));
        }
    }
}

} // namespace
