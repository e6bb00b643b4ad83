// The options of "koravel-cli dialelo": the trial's error (--error-ms, --error-df,
// --replications) and the names of the lines (--names).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/diallel_analysis.h"

namespace koravel::cli {

// The option texts as given, before they are checked.
struct RawDiallelArguments
{
    std::optional<std::string_view> errorMs, errorDf, replications, names;
    bool any() const { return errorMs || errorDf || replications || names; }
};

struct DiallelOptions
{
    std::optional<ErrorTerm> error;
    std::optional<std::string> namesPath;
};

// Takes the value of a dialelo option: true when name is one of them.
bool diallelOptionSlot(
    RawDiallelArguments &raw, std::string_view name, std::optional<std::string_view> *&slot);

// Checks them; UsageError (UTF-8) says what is wrong. QMR is a positive real, with a point or a
// comma; the degrees of freedom and the replications positive integers; the three go together.
//   {errorMs "12,5", errorDf "30", replications "4"} -> error {12.5, 30, 4}
//   {errorMs "12.5"}                               -> "--error-ms, --error-df e --replications
//                                                      vão juntas"
//   {errorMs "0", ...}                             -> "--error-ms espera um número maior que
//                                                      zero, não "0""
DiallelOptions readDiallelOptions(const RawDiallelArguments &raw);

} // namespace koravel::cli
