// Candidate records in the form the report prints them.
#include "prediction/candidate.h"

#include <cmath>

#include "numtext/error.h"

namespace koravel {

std::optional<CandidateRecord> printedRecord(const Candidate &candidate, std::size_t order)
{
    CandidateRecord record;
    record.kind = candidate.kind;
    record.falso = candidate.falso;
    record.order = order;
    const std::size_t count = valueCount(candidate.kind);
    bool asComputed = true;
    for (std::size_t v = 0; v < count; ++v) {
        const double printed = candidate.crosses[v].printed;
        if (std::isnan(printed))
            return std::nullopt;
        record.values[v] = printed;
        asComputed &= printed == candidate.crosses[v].value;
    }
    for (std::size_t p = 0; p < 4; ++p)
        record.parents[p] = candidate.parents[p];
    if (asComputed) { // nearly always: the texts read back as the values themselves
        record.mean = candidate.mean;
        record.cv = candidate.cv;
        return record;
    }
    // 0 prints as "0" and nothing else does, so the FALSO mark cannot change; checked all the
    // same, as the report line's reader checks it.
    if (!workOutStatistics(record))
        return std::nullopt;
    return record;
}

bool workOutStatistics(CandidateRecord &record)
{
    try {
        const CandidateStatistics statistics = candidateStatistics(
            std::span<const double>(record.values.data(), valueCount(record.kind)));
        if (statistics.falso != record.falso)
            return false;
        record.mean = statistics.mean;
        record.cv = statistics.cv;
        return true;
    } catch (const Error &) {
        return false;
    }
}

std::string hybridName(const CandidateRecord &candidate)
{
    const std::array<int, 4> &p = candidate.parents;
    std::string name = "(" + std::to_string(p[0]) + "x" + std::to_string(p[1]) + ")";
    if (candidate.kind == HybridKind::DoubleCross)
        name += "(" + std::to_string(p[2]) + "x" + std::to_string(p[3]) + ")";
    else
        name += " " + std::to_string(p[2]);
    return name;
}

} // namespace koravel
