// The report's fixed texts and the candidate lines, built piece by piece into a reused buffer.
#include "report_format.h"

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
    out += falso ? "FALSO HD (" : "HD (";
    appendInt(out, i);
    out += 'x';
    appendInt(out, j);
    out += ")(";
    appendInt(out, k);
    out += 'x';
    appendInt(out, l);
    out += ") =>";
    appendStatistics(out, mean, cv, settings);
    for (const std::string_view value : values) {
        out += '\t';
        out += value;
    }
}

void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k, double mean,
    double cv, const std::array<std::string_view, 2> &values, const FormatSettings &settings)
{
    out += falso ? "FALSO HT (" : "HT (";
    appendInt(out, i);
    out += 'x';
    appendInt(out, j);
    out += ") ";
    appendInt(out, k);
    out += " =>";
    appendStatistics(out, mean, cv, settings);
    for (const std::string_view value : values) {
        out += '\t';
        out += value;
    }
}

} // namespace koravel
