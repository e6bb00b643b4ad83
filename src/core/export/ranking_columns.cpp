// The optional columns of a ranking and the hybrid written with names.
#include "export/ranking_columns.h"

#include "analysis/line_names.h"
#include "export/spreadsheet_texts.h"
#include "numtext/numtext.h"

namespace koravel {

RankingColumns::RankingColumns(const RankingResult &ranking)
    : names(ranking.names != nullptr)
    , estimated(ranking.estimatesShown)
    , errors(!ranking.standardErrors.empty())
{
}

std::vector<std::string_view> rankingTitles(const RankingResult &ranking)
{
    const RankingColumns columns(ranking);
    std::vector<std::string_view> titles { kRankTitle, kHybridTitle };
    if (columns.names)
        titles.push_back(kNamedHybridTitle);
    titles.insert(titles.end(), { kMeanTitle, kCvTitle });
    for (const std::string_view title : valueTitles(ranking.kind))
        titles.push_back(title);
    if (columns.estimated)
        titles.push_back(kEstimatedTitle);
    if (columns.errors)
        titles.insert(titles.end(), { kStandardErrorTitle, kDiffersTitle });
    return titles;
}

std::vector<std::string_view> frequencyTitles(const RankingResult &ranking)
{
    if (ranking.names)
        return { kLineTitle, kNameTitle, kFrequencyTitle };
    return { kLineTitle, kFrequencyTitle };
}

std::string namedHybrid(const CandidateRecord &candidate, const LineNames &names)
{
    const auto name = [&names](int line) {
        const std::string_view named = names.name(line);
        return named.empty() ? intToStr(line) : std::string(named);
    };
    const std::array<int, 4> &p = candidate.parents;
    std::string text = "(" + name(p[0]) + "x" + name(p[1]) + ")";
    if (candidate.kind == HybridKind::DoubleCross)
        text += "(" + name(p[2]) + "x" + name(p[3]) + ")";
    else
        text += " " + name(p[2]);
    return text;
}

} // namespace koravel
