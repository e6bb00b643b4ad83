// Ranking FALSO candidates with the additive fit's estimates of their missing single crosses.
#include "export/missing_cross_estimates.h"

#include "prediction/single_cross_index.h"

namespace koravel {

std::array<std::array<int, 2>, 4> singleCrossPairs(const CandidateRecord &record)
{
    const auto &p = record.parents;
    if (record.kind == HybridKind::DoubleCross)
        return { { { p[0], p[2] }, { p[0], p[3] }, { p[1], p[2] }, { p[1], p[3] } } };
    return { { { p[0], p[2] }, { p[1], p[2] }, {}, {} } };
}

std::uint64_t crossKey(int a, int b, Reciprocals reciprocals)
{
    if (reciprocals == Reciprocals::Either && a > b)
        std::swap(a, b);
    return std::uint64_t(std::uint32_t(a)) << 32 | std::uint32_t(b);
}

namespace {

    // Below four lines no missing cross can be estimated (three lines with one cross missing
    // have no odd cycle), so nothing is read and every FALSO candidate stays out.
    CrossTable tableFor(const PredictionInput &input)
    {
        if (input.lines.count() < kMinDiallelLines)
            return CrossTable {};
        return readCrossTable(input.grid, input.lines, input.settings);
    }

} // namespace

MissingCrossEstimates::MissingCrossEstimates(const PredictionInput &input)
    : m_table(tableFor(input))
    , m_fit(m_table.lines, m_table.values)
    , m_reciprocals(input.reciprocals)
{
    // With reciprocals a x b and b x a are two crosses; the fit read the pair from the one
    // whose value it holds (the later row when both hold the same value matters not: a x b).
    std::optional<SingleCrossIndex> distinct;
    if (m_reciprocals == Reciprocals::Distinct)
        distinct.emplace(input.grid, Reciprocals::Distinct, input.settings);
    for (int a = 1; a <= m_table.lines; ++a)
        for (int b = a + 1; b <= m_table.lines; ++b) {
            const long double value = m_table.value(a, b);
            if (value == 0)
                continue;
            const bool forward =
                !distinct || (distinct->exists(a, b) && distinct->value(a, b) == value);
            m_present.push_back(PresentCross {
                a, b, forward ? crossKey(a, b, m_reciprocals) : crossKey(b, a, m_reciprocals) });
        }
}

std::optional<CandidateRecord> MissingCrossEstimates::estimated(const CandidateRecord &record) const
{
    CandidateRecord result = record;
    const auto pairs = singleCrossPairs(record);
    const auto inTable = [this](int line) { return line >= 1 && line <= m_table.lines; };
    for (std::size_t v = 0; v < valueCount(record.kind); ++v) {
        if (record.values[v] != 0)
            continue;
        const auto [a, b] = pairs[v];
        if (!inTable(a) || !inTable(b) || a == b || m_table.value(a, b) != 0
            || !m_fit.estimable(a, b))
            return std::nullopt;
        result.values[v] = static_cast<double>(m_fit.fitted(a, b));
        result.estimated = std::uint8_t(result.estimated | 1u << v);
    }
    result.falso = false;
    if (result.estimated == 0 || !workOutStatistics(result))
        return std::nullopt;
    return result;
}

} // namespace koravel
