// The columns of a ranking as the exports and the window show it: the fixed ones, and those
// shown only when asked for (names of the lines, estimated crosses, the error of each hybrid).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/ranking.h"

namespace koravel {

class LineNames;

inline constexpr std::string_view kNamedHybridTitle = "H\xC3\xAD"
                                                      "brido (nomes)";
inline constexpr std::string_view kNameTitle = "Nome";
inline constexpr std::string_view kEstimatedTitle = "Estimado";
inline constexpr std::string_view kStandardErrorTitle = "EP";
inline constexpr std::string_view kDiffersTitle = "Difere do 1\xC2\xBA (5%)";

// Which of the optional columns a ranking has.
struct RankingColumns
{
    bool names = false; // "Híbrido (nomes)" after "Híbrido"; "Nome" after "Linhagem"
    bool estimated = false; // "Estimado" after the single crosses
    bool errors = false; // "EP" and "Difere do 1º (5%)" last
    explicit RankingColumns(const RankingResult &ranking);
};

// Posição, Híbrido, [Híbrido (nomes)], Média, CV%, the single crosses, [Estimado], [EP,
// Difere do 1º (5%)] in UTF-8.
std::vector<std::string_view> rankingTitles(const RankingResult &ranking);
// Linhagem, [Nome], Frequência.
std::vector<std::string_view> frequencyTitles(const RankingResult &ranking);

// The hybrid written with the names of its lines, a line without a name by its number, in
// single-byte text:  names 1 "B73", 2 "Mo17": (1x2)(3x4) -> "(B73xMo17)(3x4)", (1x3) 2 ->
// "(B73x3) Mo17"
std::string namedHybrid(const CandidateRecord &candidate, const LineNames &names);

} // namespace koravel
