// The diallel analysis as the tables that every front end shows and exports, in one order and
// with one set of titles: the lines with their GCA, the analysis of variance, the crosses with
// their SCA and the missing crosses with their estimates. Texts are UTF-8, as the exported
// files are; the text for a terminal is made from the same tables.
#pragma once

#include <string>
#include <vector>

#include "analysis/diallel_analysis.h"

namespace koravel {

class LineNames;

struct DiallelCell
{
    enum class Kind { Empty, Text, Integer, Number, PValue };
    Kind kind = Kind::Empty;
    long double number = 0;
    std::string text; // Text only, UTF-8
};

struct DiallelTable
{
    std::string title; // also the worksheet's name
    std::vector<std::string> header;
    std::vector<std::vector<DiallelCell>> rows;
};

// In this order: "Linhagem, Nome, Média dos cruzamentos, GCA" (lines 1..n); "Fonte de
// variação, GL, SQ, QM, F, Valor p" (GCA, SCA, and Erro with the error term); "Cruzamento,
// Valor, SCA" (the crosses present, "1 x 2", "1 x 3", ...); and only when crosses are missing
// "Cruzamento ausente, Estimativa" (empty where it cannot be estimated). A value that does not
// exist (no F without the error term, a GCA that cannot be estimated) is an empty cell.
std::vector<DiallelTable> diallelTables(const DiallelAnalysis &analysis, const LineNames &names);

// Numbers with 4 decimals, "-0.0000" written "0.0000":
//   fourDecimals(246.35555, '.') -> "246.3556"   fourDecimals(-0.00001, ',') -> "0,0000"
std::string fourDecimals(long double value, char decimalMark);
// p values with 4 significant digits in scientific notation, the exponent without padding:
//   pValueText(5.6671e-12, '.') -> "5.667E-12"   pValueText(0.25, ',') -> "2,500E-1"
std::string pValueText(long double value, char decimalMark);
// A cell as text: numbers as above, integers in decimal, empty cells "".
std::string cellText(const DiallelCell &cell, char decimalMark);

// The analysis for a terminal, UTF-8 with LF line ends: a heading (the method, n, the crosses
// present, the grand mean), notes for an incomplete table, pairs whose two orders differ and
// effects that cannot be estimated, the tables with aligned columns, and with the error term
// the standard errors and the least significant differences at 5 %.
std::string diallelText(
    const DiallelAnalysis &analysis, const std::vector<DiallelTable> &tables, char decimalMark);

} // namespace koravel
