// The report's fixed texts and the candidate lines, built piece by piece into a reused buffer.
#include "report_format.h"

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

    // The pieces of a line are a few characters each: copying them byte by byte into a local
    // buffer, then appending that once, costs less than a call to memcpy per piece, and a
    // report may have millions of lines.
    inline char *put(char *out, std::string_view text)
    {
        for (const char c : text)
            *out++ = c;
        return out;
    }

    // Integer formatting: plain decimal digits, "-" when negative.
    inline char *putInt(char *out, int value)
    {
        return std::to_chars(out, out + 11, value).ptr;
    }

    // "\t" mean "\t" CV, with the patterns "0.000" and "0.0".
    void appendStatistics(std::string &out, double mean, double cv, const FormatSettings &settings)
    {
        out += '\t';
        appendFormatFloat(out, FixedPattern::ThreeDecimals, mean, settings);
        out += '\t';
        appendFormatFloat(out, FixedPattern::OneDecimal, cv, settings);
    }

    // "\t" before each single-cross value, appended in one step.
    template <std::size_t N>
    void appendValues(std::string &out, const std::array<std::string_view, N> &values)
    {
        std::size_t size = N;
        for (const std::string_view value : values)
            size += value.size();
        const std::size_t start = out.size();
        out.resize(start + size);
        char *p = out.data() + start;
        for (const std::string_view value : values) {
            *p++ = '\t';
            p = put(p, value);
        }
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

namespace {

    // "HD (i" "x" j ")(" k "x" l ") =>", or "FALSO HD (" first, appended in one step.
    void appendDoubleCrossHead(std::string &out, bool falso, int i, int j, int k, int l)
    {
        char head[64]; // "FALSO HD (" 10, four numbers of at most 11, "x)(x) =>" 8
        char *p = put(head, falso ? "FALSO HD (" : "HD (");
        p = putInt(p, i);
        *p++ = 'x';
        p = putInt(p, j);
        p = put(p, ")(");
        p = putInt(p, k);
        *p++ = 'x';
        p = putInt(p, l);
        p = put(p, ") =>");
        out.append(head, p);
    }

    // "HT (i" "x" j ") " k " =>", or "FALSO HT (" first.
    void appendThreeWayHead(std::string &out, bool falso, int i, int j, int k)
    {
        char head[64];
        char *p = put(head, falso ? "FALSO HT (" : "HT (");
        p = putInt(p, i);
        *p++ = 'x';
        p = putInt(p, j);
        p = put(p, ") ");
        p = putInt(p, k);
        p = put(p, " =>");
        out.append(head, p);
    }

    void appendWrittenStatistics(std::string &out, std::string_view mean, std::string_view cv)
    {
        std::array<std::string_view, 2> texts { mean, cv };
        appendValues(out, texts);
    }

} // namespace

void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l, double mean,
    double cv, const std::array<std::string_view, 4> &values, const FormatSettings &settings)
{
    appendDoubleCrossHead(out, falso, i, j, k, l);
    appendStatistics(out, mean, cv, settings);
    appendValues(out, values);
}

void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 4> &values)
{
    appendDoubleCrossHead(out, falso, i, j, k, l);
    appendWrittenStatistics(out, mean, cv);
    appendValues(out, values);
}

void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k, double mean,
    double cv, const std::array<std::string_view, 2> &values, const FormatSettings &settings)
{
    appendThreeWayHead(out, falso, i, j, k);
    appendStatistics(out, mean, cv, settings);
    appendValues(out, values);
}

void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 2> &values)
{
    appendThreeWayHead(out, falso, i, j, k);
    appendWrittenStatistics(out, mean, cv);
    appendValues(out, values);
}

} // namespace koravel
