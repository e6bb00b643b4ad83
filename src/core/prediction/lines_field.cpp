// The number-of-lines field read by the legacy integer and real rules.
#include "prediction/lines_field.h"

#include "numtext/error.h"

namespace koravel {

std::optional<std::int32_t> LinesField::tryCount() const
{
    try {
        return count();
    } catch (const Error &) {
        return std::nullopt;
    }
}

} // namespace koravel
