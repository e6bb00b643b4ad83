// Fuzz target for the clean-up of report text: on any text, cleanUpReport gives the text and
// the summary of a plain model of the report window's text area that deletes the "FALSO" lines
// one at a time, re-reading the lines after each deletion as the text area does. The line
// reading of ReportDocument is checked against the model on the way.
//
// Input: the first byte says whether a line is deleted by hand first (bit 0, the line chosen
// by the second byte) and whether the clean-up runs twice (bit 1); the rest is the text. The
// clean-up reads no numbers, so the decimal separator plays no part; the seeds hold reports
// written with either.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/data_file.h"
#include "fuzz_check.h"
#include "report/report_document.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

// The text area: the whole text, its lines found afresh whenever they are asked for.
class TextModel
{
public:
    explicit TextModel(std::string text)
        : m_text(std::move(text))
    {
    }

    struct Segment
    {
        std::size_t start;
        std::size_t contentEnd; // where the line break begins
        std::size_t end; // after the line break
    };

    // Lines end at CR LF, LF or CR; the empty remainder after the last break is no line.
    std::vector<Segment> segments() const
    {
        std::vector<Segment> out;
        std::size_t start = 0;
        std::size_t i = 0;
        while (i < m_text.size()) {
            const char c = m_text[i];
            if (c != '\r' && c != '\n') {
                ++i;
                continue;
            }
            const std::size_t contentEnd = i;
            i += c == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n' ? 2 : 1;
            out.push_back({ start, contentEnd, i });
            start = i;
        }
        if (start < m_text.size())
            out.push_back({ start, m_text.size(), m_text.size() });
        return out;
    }

    std::size_t count() const { return segments().size(); }

    std::string line(const Segment &s) const
    {
        return m_text.substr(s.start, std::min(s.contentEnd - s.start, kMaxLineLength));
    }

    void deleteLine(std::size_t index)
    {
        const std::vector<Segment> all = segments();
        if (index < all.size())
            m_text.erase(all[index].start, all[index].end - all[index].start);
    }

    void appendLine(const std::string &line)
    {
        if (m_text.empty() || m_text.back() == '\r' || m_text.back() == '\n')
            m_text += line + "\r\n";
        else
            m_text += "\r\n" + line;
    }

    const std::string &text() const { return m_text; }

private:
    std::string m_text;
};

std::string modelCleanUp(TextModel &model)
{
    const long long n = static_cast<long long>(model.count());
    const long long total = n - 8;
    if (n - 1 > 7) {
        // The lines are found afresh after every deletion, as the text area does.
        std::vector<TextModel::Segment> lines = model.segments();
        std::size_t i = 7;
        while (i < lines.size()) {
            if (model.line(lines[i]).find("FALSO") != std::string::npos) {
                model.deleteLine(i);
                lines = model.segments();
            } else {
                ++i;
            }
        }
    }
    model.appendLine("Hibridos possiveis totais= " + std::to_string(total));
    const long long removed = total - (static_cast<long long>(model.count()) - 9);
    model.appendLine("Hibridos Falso preditos excluidos = " + std::to_string(removed));
    const long long predicted = static_cast<long long>(model.count()) - 10;
    model.appendLine("Hibridos Reais preditos = " + std::to_string(predicted));
    return std::to_string(total) + " " + std::to_string(removed) + " " + std::to_string(predicted);
}

std::string summaryText(const CleanUpSummary &summary)
{
    return std::to_string(summary.total) + " " + std::to_string(summary.removed) + " "
        + std::to_string(summary.predicted);
}

void checkLines(const ReportDocument &document, const TextModel &model, std::string_view when)
{
    const std::vector<TextModel::Segment> lines = model.segments();
    expectEqual(std::string("line count ") + std::string(when), std::to_string(document.count()),
        std::to_string(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        expectEqual("line " + std::to_string(i) + " " + std::string(when), document.line(i),
            model.line(lines[i]));
    expectEqual("the line past the end", document.line(lines.size()), "");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool deleteFirst = (data[0] & 1) != 0;
    const bool twice = (data[0] & 2) != 0;
    const std::size_t deleteIndex = data[1];
    const std::string text(reinterpret_cast<const char *>(data + 2), size - 2);

    ReportDocument document;
    document.setText(text);
    TextModel model(text);
    checkLines(document, model, "after setText");

    if (deleteFirst) {
        document.deleteLine(deleteIndex);
        model.deleteLine(deleteIndex);
        expectEqual("text after deleteLine(" + std::to_string(deleteIndex) + ")", document.text(),
            model.text());
        checkLines(document, model, "after deleteLine");
    }

    for (int round = 0; round < (twice ? 2 : 1); ++round) {
        const std::string summary = summaryText(cleanUpReport(document));
        const std::string expected = modelCleanUp(model);
        const std::string when = round == 0 ? "after the clean-up" : "after the second clean-up";
        expectEqual("summary " + when, summary, expected);
        expectEqual("text " + when, document.text(), model.text());
        checkLines(document, model, when);
    }
    return 0;
}
