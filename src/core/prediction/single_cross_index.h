// The fast path of the lookups: an index built once per prediction that answers ExisteHS and
// ValorHS exactly as the literal scan would, raising the same Error at the same call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "prediction/candidate.h"
#include "prediction/lookup.h"

namespace koravel {

// The table must not change while an index built over it is in use. Answers are worked out on
// the first call for each pair and kept, so the calls are cheap after that; an index is not
// meant to be shared between threads.
class SingleCrossIndex
{
public:
    // Converts every cell once; nothing is raised here: each error is kept for the calls that
    // the literal scan would fail on.
    SingleCrossIndex(const CellGrid &grid, Reciprocals reciprocals, const FormatSettings &settings);
    ~SingleCrossIndex();
    SingleCrossIndex(const SingleCrossIndex &) = delete;
    SingleCrossIndex &operator=(const SingleCrossIndex &) = delete;

    bool exists(std::int32_t a, std::int32_t b) const; // as ExisteHS
    double value(std::int32_t a, std::int32_t b) const; // as ValorHS

    // What a prediction makes of one single cross: ExisteHS, then ValorHS when it answered
    // true, else 0. Raises the error the first of those two calls would raise. The text is the
    // value in the general real format, and printed the number that text reads back as; the
    // text stays valid as long as the index.
    //   table row (1, 3, "5.50"):  lookup(1, 3) -> {5.5, "5.5", 5.5};  lookup(3, 9) -> {0, "0", 0}
    SingleCrossValue lookup(std::int32_t a, std::int32_t b) const;

    // Whether every cell of the table converts, so that no call can raise.
    bool convertsEverywhere() const;
    // The parent numbers of the table's rows, A and B, ascending and without repeats: a line
    // missing here takes part in no single cross. Only meaningful when convertsEverywhere().
    std::vector<std::int32_t> parents() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace koravel
