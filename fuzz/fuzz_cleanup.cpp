// Fuzz target for the clean-up of report text: on any text, cleanUpReport gives the text and
// the summary of a plain model of the report window's text area that deletes the "FALSO" lines
// one at a time, re-reading the lines after each deletion as the text area does. The line
// reading of ReportDocument is checked against the model on the way, and so is cleanUpEdit,
// the same clean-up as one replacement of the text's end.
//
// Input: the first byte says whether a line is deleted by hand first (bit 0, the line chosen
// by the second byte) and whether the clean-up runs twice (bit 1); the rest is the text. The
// clean-up reads no numbers, so the decimal separator plays no part; the seeds hold reports
// written with either.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "report/report_document.h"
#include "table/data_file.h"

using namespace koravel;
using namespace koravel::fuzz;

namespace {

// The text area: the whole text, its lines found afresh whenever they are asked for.
struct TextModel
{
    std::string text;

    struct Segment
    {
        std::size_t start, contentEnd, end; // contentEnd: where the line break begins
    };

    // Lines end at CR LF, LF or CR; the empty remainder after the last break is no line.
    std::vector<Segment> segments() const
    {
        std::vector<Segment> out;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t contentEnd = std::min(text.find_first_of("\r\n", start), text.size());
            const std::size_t end = contentEnd + (text.compare(contentEnd, 2, "\r\n") == 0 ? 2 : 1);
            out.push_back({ start, contentEnd, std::min(end, text.size()) });
            start = end;
        }
        return out;
    }

    std::string line(const Segment &s) const
    {
        return text.substr(s.start, std::min(s.contentEnd - s.start, kMaxLineLength));
    }

    void deleteLine(std::size_t index)
    {
        const std::vector<Segment> all = segments();
        if (index < all.size())
            text.erase(all[index].start, all[index].end - all[index].start);
    }

    // Returns the line count after appending, as a summary line's count is taken.
    long long appendLine(const std::string &line)
    {
        text += text.empty() || text.back() == '\r' || text.back() == '\n' ? line + "\r\n"
                                                                           : "\r\n" + line;
        return static_cast<long long>(segments().size());
    }
};

// The clean-up as the window did it: from line 7 on, each "FALSO" line deleted and the lines
// found again; then the three summary lines, each count taken from the lines there are.
std::string modelCleanUp(TextModel &model)
{
    std::vector<TextModel::Segment> lines = model.segments();
    const long long total = static_cast<long long>(lines.size()) - 8;
    for (std::size_t i = 7; total > 0 && i < lines.size();) {
        if (model.line(lines[i]).find("FALSO") == std::string::npos) {
            ++i;
            continue;
        }
        model.deleteLine(i);
        lines = model.segments();
    }
    const std::string t = std::to_string(total);
    const long long removed = total - (model.appendLine("Hibridos possiveis totais= " + t) - 9);
    const std::string e = std::to_string(removed);
    const long long predicted = model.appendLine("Hibridos Falso preditos excluidos = " + e) - 10;
    model.appendLine("Hibridos Reais preditos = " + std::to_string(predicted));
    return t + " " + e + " " + std::to_string(predicted);
}

void check(const ReportDocument &document, const TextModel &model, const std::string &when)
{
    expectEqual("text " + when, document.text(), model.text);
    const std::vector<TextModel::Segment> lines = model.segments();
    expectEqual(
        "line count " + when, std::to_string(document.count()), std::to_string(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        expectEqual(
            "line " + std::to_string(i) + " " + when, document.line(i), model.line(lines[i]));
    expectEqual("the line past the end", document.line(lines.size()), "");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data + 2), size - 2);
    ReportDocument document;
    document.setText(text);
    TextModel model { text };
    check(document, model, "after setText");
    if ((data[0] & 1) != 0) {
        document.deleteLine(data[1]);
        model.deleteLine(data[1]);
        check(document, model, "after deleteLine(" + std::to_string(data[1]) + ")");
    }
    for (int round = 1; round <= ((data[0] & 2) != 0 ? 2 : 1); ++round) {
        // The window's clean-up rewrites its text from one place on; it must give the same.
        const std::string shown = document.text();
        const CleanUpEdit edit = cleanUpEdit(shown);
        const CleanUpSummary s = cleanUpReport(document);
        expectEqual("clean-up as an edit, round " + std::to_string(round),
            shown.substr(0, edit.from) + edit.tail, document.text());
        expectEqual("its summary", std::to_string(edit.summary.removed), std::to_string(s.removed));
        const std::string when = "after clean-up " + std::to_string(round);
        expectEqual("summary " + when,
            std::to_string(s.total) + " " + std::to_string(s.removed) + " "
                + std::to_string(s.predicted),
            modelCleanUp(model));
        check(document, model, when);
    }
    return 0;
}
