// What every fuzz target does when a property fails: print what differed and abort, so that
// libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "numtext/error.h"

namespace koravel::fuzz {

// The text with every byte outside printable ASCII written as \xHH, for the failure report.
inline std::string printable(std::string_view text)
{
    std::string out;
    for (const unsigned char c : text) {
        char shown[8];
        std::snprintf(shown, sizeof shown, c >= 32 && c < 127 && c != '\\' ? "%c" : "\\x%02X", c);
        out += shown;
    }
    return out;
}

[[noreturn]] inline void fail(
    std::string_view what, std::string_view got, std::string_view expected)
{
    std::fprintf(stderr, "\nFUZZ PROPERTY FAILED: %s\n  got:      \"%s\"\n  expected: \"%s\"\n",
        std::string(what).c_str(), printable(got).c_str(), printable(expected).c_str());
    std::abort();
}

inline void expectEqual(std::string_view what, std::string_view got, std::string_view expected)
{
    if (got != expected)
        fail(what, got, expected);
}

inline void expect(bool condition, std::string_view what)
{
    if (!condition)
        fail(what, "false", "true");
}

// One call's outcome written as text: "= " and the answer, or "error " and the error's message.
template <class Call> std::string outcome(Call call)
{
    try {
        return "= " + call();
    } catch (const Error &error) {
        return "error " + error.message();
    }
}

} // namespace koravel::fuzz
