// The column titles of the exported spreadsheets, in UTF-8 (the files are UTF-8, unlike the
// report), and the shapes of the two kinds of hybrid.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "prediction/candidate.h"

namespace koravel {

inline constexpr std::string_view kYes = "sim";
inline constexpr std::string_view kNo = "n\xC3\xA3o";
inline constexpr std::string_view kHybridTitle = "H\xC3\xAD"
                                                 "brido";
inline constexpr std::string_view kMeanTitle = "M\xC3\xA9"
                                               "dia";
inline constexpr std::string_view kCvTitle = "CV%";
inline constexpr std::string_view kRankTitle = "Posi\xC3\xA7\xC3\xA3o";
inline constexpr std::string_view kLineTitle = "Linhagem";
inline constexpr std::string_view kFrequencyTitle = "Frequ\xC3\xAAncia";
inline constexpr std::string_view kFalsoTitle = "Falso";
inline constexpr const char *kCandidatesSheet = "Candidatos";
inline constexpr const char *kRankingSheet = "Ordena\xC3\xA7\xC3\xA3o";

inline std::vector<std::string_view> valueTitles(HybridKind kind)
{
    if (kind == HybridKind::DoubleCross)
        return { "HS(ik)", "HS(il)", "HS(jk)", "HS(jl)" };
    return { "HS(ik)", "HS(jk)" };
}

// Hybrid, its lines, mean, CV, the single crosses, FALSO.
inline std::vector<std::string_view> candidateTitles(HybridKind kind)
{
    std::vector<std::string_view> titles { kHybridTitle, "Linhagem i", "Linhagem j", "Linhagem k" };
    if (kind == HybridKind::DoubleCross)
        titles.push_back("Linhagem l");
    titles.push_back(kMeanTitle);
    titles.push_back(kCvTitle);
    for (const std::string_view title : valueTitles(kind))
        titles.push_back(title);
    titles.push_back(kFalsoTitle);
    return titles;
}

// Rank, hybrid, mean, CV, the single crosses.
inline std::vector<std::string_view> rankingTitles(HybridKind kind)
{
    std::vector<std::string_view> titles { kRankTitle, kHybridTitle, kMeanTitle, kCvTitle };
    for (const std::string_view title : valueTitles(kind))
        titles.push_back(title);
    return titles;
}

} // namespace koravel
