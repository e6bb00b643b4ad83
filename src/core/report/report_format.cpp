// The report's fixed texts and the candidate lines, built piece by piece into a reused buffer.
#include "report/report_format.h"

#include <charconv>

namespace koravel {

namespace {

    constexpr std::string_view kRule =
        "----------------------------------------------------------------"
        "----------------------------------------------------------------";
    static_assert(kRule.size() == 128);

    constexpr std::string_view kAuthorLine = "Desenvolvido por Vescarin - 16/10/2008";

    constexpr std::array<std::string_view, 7> kDoubleCrossHeader {
        kRule,
        "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS DUPLOS",
        kAuthorLine,
        kRule,
        "",
        "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)",
        "",
    };

    constexpr std::array<std::string_view, 7> kThreeWayHeader {
        kRule,
        "APLICATIVO Koravel   -   PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS TRIPLOS",
        kAuthorLine,
        kRule,
        "",
        "HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)",
        "",
    };

    // A line is put together in a local buffer and appended to the string once: its pieces
    // are a few characters each, copying them byte by byte costs less than a call to memcpy
    // per piece, and a report may have millions of lines. A piece that does not fit (no text
    // this program writes is that long) goes through the string instead.
    class LinePieces
    {
    public:
        explicit LinePieces(std::string &out)
            : m_out(out)
        {
        }
        LinePieces(const LinePieces &) = delete;
        LinePieces &operator=(const LinePieces &) = delete;

        void text(std::string_view piece)
        {
            if (piece.size() > room()) {
                finish();
                m_out.append(piece);
                return;
            }
            // A local pointer: stores through a char pointer could change m_next itself, so the
            // compiler would reload it after every character.
            char *next = m_next;
            for (const char c : piece)
                *next++ = c;
            m_next = next;
        }
        void character(char c)
        {
            if (room() == 0)
                finish();
            *m_next++ = c;
        }
        // Integer formatting: plain decimal digits, "-" when negative.
        void integer(int value)
        {
            if (room() < 11)
                finish();
            m_next = std::to_chars(m_next, m_next + 11, value).ptr;
        }
        template <std::size_t N> void tabbedTexts(const std::array<std::string_view, N> &texts)
        {
            for (const std::string_view piece : texts) {
                character('\t');
                text(piece);
            }
        }
        // Appends what is in the buffer; the pieces may go on after it.
        void finish()
        {
            m_out.append(m_buffer, m_next);
            m_next = m_buffer;
        }

    private:
        std::size_t room() const { return std::size_t(m_buffer + sizeof m_buffer - m_next); }

        std::string &m_out;
        char m_buffer[256];
        char *m_next = m_buffer;
    };

    // "HD (i" "x" j ")(" k "x" l ") =>", or "FALSO HD (" first.
    void doubleCrossHead(LinePieces &line, bool falso, int i, int j, int k, int l)
    {
        line.text(falso ? "FALSO HD (" : "HD (");
        line.integer(i);
        line.character('x');
        line.integer(j);
        line.text(")(");
        line.integer(k);
        line.character('x');
        line.integer(l);
        line.text(") =>");
    }

    // "HT (i" "x" j ") " k " =>", or "FALSO HT (" first.
    void threeWayHead(LinePieces &line, bool falso, int i, int j, int k)
    {
        line.text(falso ? "FALSO HT (" : "HT (");
        line.integer(i);
        line.character('x');
        line.integer(j);
        line.text(") ");
        line.integer(k);
        line.text(" =>");
    }

    // "\t" mean "\t" CV, with the patterns "0.000" and "0.0", written straight into the string.
    void appendStatistics(std::string &out, double mean, double cv, const FormatSettings &settings)
    {
        out += '\t';
        appendFormatFloat(out, FixedPattern::ThreeDecimals, mean, settings);
        out += '\t';
        appendFormatFloat(out, FixedPattern::OneDecimal, cv, settings);
    }

} // namespace

std::string_view reportRule()
{
    return kRule;
}

std::array<std::string_view, 7> headerBlock(HybridKind kind)
{
    return kind == HybridKind::DoubleCross ? kDoubleCrossHeader : kThreeWayHeader;
}

void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l, double mean,
    double cv, const std::array<std::string_view, 4> &values, const FormatSettings &settings)
{
    LinePieces line(out);
    doubleCrossHead(line, falso, i, j, k, l);
    line.finish();
    appendStatistics(out, mean, cv, settings);
    line.tabbedTexts(values);
    line.finish();
}

void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 4> &values)
{
    LinePieces line(out);
    doubleCrossHead(line, falso, i, j, k, l);
    line.tabbedTexts(std::array { mean, cv });
    line.tabbedTexts(values);
    line.finish();
}

void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k, double mean,
    double cv, const std::array<std::string_view, 2> &values, const FormatSettings &settings)
{
    LinePieces line(out);
    threeWayHead(line, falso, i, j, k);
    line.finish();
    appendStatistics(out, mean, cv, settings);
    line.tabbedTexts(values);
    line.finish();
}

void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 2> &values)
{
    LinePieces line(out);
    threeWayHead(line, falso, i, j, k);
    line.tabbedTexts(std::array { mean, cv });
    line.tabbedTexts(values);
    line.finish();
}

} // namespace koravel
