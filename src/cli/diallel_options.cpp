// Reading and checking the options of the diallel analysis.
#include "diallel_options.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "cli_options.h"

namespace koravel::cli {

namespace {

    std::string quoted(std::string_view text)
    {
        return "\"" + std::string(text) + "\"";
    }

    long double positiveReal(std::string_view name, std::string_view text)
    {
        std::string point(text);
        if (const auto comma = point.find(','); comma != std::string::npos)
            point[comma] = '.';
        long double value = 0;
        const auto [end, error] = std::from_chars(point.data(), point.data() + point.size(), value);
        if (point.empty() || error != std::errc() || end != point.data() + point.size()
            || !(value > 0) || !std::isfinite(value))
            throw UsageError(
                std::string(name) + " espera um número maior que zero, não " + quoted(text));
        return value;
    }

    std::int64_t positiveInteger(std::string_view name, std::string_view text)
    {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1)
            throw UsageError(std::string(name) + " espera um número inteiro maior que zero, não "
                + quoted(text));
        return value;
    }

} // namespace

bool diallelOptionSlot(
    RawDiallelArguments &raw, std::string_view name, std::optional<std::string_view> *&slot)
{
    if (name == "--error-ms")
        slot = &raw.errorMs;
    else if (name == "--error-df")
        slot = &raw.errorDf;
    else if (name == "--replications")
        slot = &raw.replications;
    else if (name == "--names")
        slot = &raw.names;
    else
        return false;
    return true;
}

DiallelOptions readDiallelOptions(const RawDiallelArguments &raw)
{
    DiallelOptions options;
    if (raw.names) {
        if (raw.names->empty())
            throw UsageError("--names espera o nome de um arquivo");
        options.namesPath = std::string(*raw.names);
    }
    if (!raw.errorMs && !raw.errorDf && !raw.replications)
        return options;
    if (!raw.errorMs || !raw.errorDf || !raw.replications)
        throw UsageError("--error-ms, --error-df e --replications vão juntas");
    options.error = ErrorTerm { positiveReal("--error-ms", *raw.errorMs),
        positiveInteger("--error-df", *raw.errorDf),
        positiveInteger("--replications", *raw.replications) };
    return options;
}

} // namespace koravel::cli
