// The clean-up of ".:: LIMPAR ::." and of koravel-cli --clean, one line at a time: the FALSO
// lines after the header block go, and three summary lines with the counts come after.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace koravel {

struct CleanUpSummary
{
    long long total = 0; // T
    long long removed = 0; // E
    long long predicted = 0; // P
};

// Lines are offered in order with their index; keep(index, line) is called for each line that
// stays, in order. The header block (lines 0 to 6) always stays. A report of 8 lines or fewer
// loses nothing, so line 7 is held until a ninth line shows that there are more; from then on a
// line goes when its first 4096 characters hold "FALSO".
//   9 lines, line 7 "FALSO HD ...", line 8 the rule -> keeps 0-6 and 8
//   8 lines, line 7 "FALSO HD ..."                  -> keeps all 8
class CleanUp
{
public:
    template <class Keep> void line(std::string_view text, Keep &&keep)
    {
        const std::size_t index = m_seen++;
        if (index < kHeaderLines)
            return keep(index, text);
        if (index == kHeaderLines) {
            m_held.assign(text);
            m_holding = true;
            return;
        }
        if (m_holding) {
            m_holding = false;
            examine(kHeaderLines, m_held, keep);
        }
        examine(index, text, keep);
    }

    // Counts lines that follow the header block and were examined elsewhere with removes(), in
    // a report known to go on after them (a prediction's candidate lines, which its closing
    // rule follows): none is held.
    void examined(std::size_t count)
    {
        if (count == 0)
            return;
        if (m_seen < kHeaderLines || m_holding)
            throw std::logic_error("CleanUp::examined() after a line it holds");
        m_seen += count;
    }

    // Hands over the line still held, if the report ended with it.
    template <class Keep> void finish(Keep &&keep)
    {
        if (m_holding) {
            m_holding = false;
            keep(kHeaderLines, std::string_view(m_held));
        }
    }

    std::size_t seen() const { return m_seen; }

    // The counts as the report window has always taken them: from line positions, with
    // linesBefore the lines offered and linesAfter the lines left once the FALSO ones went.
    static CleanUpSummary summary(long long linesBefore, long long linesAfter);
    // "Hibridos possiveis totais= T", "Hibridos Falso preditos excluidos = E",
    // "Hibridos Reais preditos = P".
    static std::array<std::string, 3> summaryLines(const CleanUpSummary &summary);
    static bool removes(std::string_view line);

private:
    static constexpr std::size_t kHeaderLines = 7;

    template <class Keep> void examine(std::size_t index, std::string_view text, Keep &keep)
    {
        if (!removes(text))
            keep(index, text);
    }

    std::size_t m_seen = 0;
    std::string m_held;
    bool m_holding = false; // line 7 is held until a line after it shows that more follow
};

} // namespace koravel
