// The fast path of the lookups: an index built once per prediction that answers ExisteHS and
// ValorHS exactly as the literal scan would, raising the same Error at the same call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lookup.h"

namespace koravel {

class SingleCrossIndex
{
public:
    // Converts every cell once; nothing is raised here: each error is kept for the calls that
    // the literal scan would fail on.
    SingleCrossIndex(const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings);
    ~SingleCrossIndex();
    SingleCrossIndex(const SingleCrossIndex &) = delete;
    SingleCrossIndex &operator=(const SingleCrossIndex &) = delete;

    bool exists(std::int32_t a, std::int32_t b) const;  // as ExisteHS
    double value(std::int32_t a, std::int32_t b) const; // as ValorHS

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace koravel
