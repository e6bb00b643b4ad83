// The layout of the report: header blocks, candidate lines and the closing rule.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "prediction/candidate.h"

namespace koravel {

// A rule is 128 "-" characters.
std::string_view reportRule();
// The seven lines of the header block (rule, title, author, rule, empty, headings, empty).
std::array<std::string_view, 7> headerBlock(HybridKind kind);

// "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75"; a FALSO line begins "FALSO HD (".
// The single-cross values arrive already written in the general real format.
void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l, double mean,
    double cv, const std::array<std::string_view, 4> &values, const FormatSettings &settings);
// "HT (1x2) 3 =>\t5.500\t12.9\t5\t6"; a FALSO line begins "FALSO HT (".
void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k, double mean,
    double cv, const std::array<std::string_view, 2> &values, const FormatSettings &settings);

// The same lines with the mean and the CV already written with "0.000" and "0.0".
void appendDoubleCrossLine(std::string &out, bool falso, int i, int j, int k, int l,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 4> &values);
void appendThreeWayCrossLine(std::string &out, bool falso, int i, int j, int k,
    std::string_view mean, std::string_view cv, const std::array<std::string_view, 2> &values);

} // namespace koravel
