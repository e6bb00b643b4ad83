// The display rule of error messages, the message texts, and the Latin-1 conversions.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <utility>

#include "numtext/error.h"
#include "numtext/locale_settings.h"
#include "table/text_encoding.h"

namespace koravel {
namespace {

    // The message texts are checked where they are shown: koravel-cli's and the window's tests.
    TEST(FinalStop, AppendsOnlyAfterCharactersAboveThePoint)
    {
        const std::pair<std::string_view, std::string_view> rows[] = {
            { "Stream write error", "Stream write error." },
            { "List index out of bounds (0", "List index out of bounds (0." },
            { "List index out of bounds (0)", "List index out of bounds (0)" },
            { "'x' is not a valid integer value'", "'x' is not a valid integer value'" },
            { "Os dados n\xE3o foram gravados !!!", "Os dados n\xE3o foram gravados !!!" },
            { "Done.", "Done." },
            { "Done ", "Done " },
            { "Reason:", "Reason:." },
            { "Why?", "Why?." },
            { "a/", "a/." },
            { "PRODU\xC7\xC3O", "PRODU\xC7\xC3O." },
            { "", "" },
        };
        for (const auto &[message, shown] : rows)
            EXPECT_EQ(withFinalStop(message), shown) << message;
    }

    TEST(DecimalSeparator, FallsBackToPointForMissingOrLongSymbols)
    {
        EXPECT_EQ(decimalSeparatorFromSymbol(","), ',');
        EXPECT_EQ(decimalSeparatorFromSymbol("."), '.');
        EXPECT_EQ(decimalSeparatorFromSymbol(""), '.');
        EXPECT_EQ(decimalSeparatorFromSymbol("\xD9\xAB"), '.');
    }

    TEST(TextEncoding, RoundTripsLatin1ThroughUtf8)
    {
        const std::string latin1 = "PRODU\xC7\xC3O n\xE3o H\xCD"
                                   "BRIDOS";
        const std::string utf8 = latin1ToUtf8(latin1);
        EXPECT_EQ(utf8, "PRODUÇÃO não HÍBRIDOS");
        EXPECT_EQ(utf8ToLatin1(utf8), latin1);
        EXPECT_EQ(utf8ToLatin1("€ ok"), "? ok");
        EXPECT_EQ(utf8ToLatin1("\xC3"), "?");
    }

// Windows takes the separator from the user's regional setting, not from the environment.
#ifndef _WIN32
    TEST(DecimalSeparator, ComesFromTheEnvironmentsLocaleAndLeavesTheProcessAsItWas)
    {
        const char *saved = std::getenv("LC_ALL");
        const std::string previous = saved ? saved : "";
        ::setenv("LC_ALL", "pt_BR.UTF-8", 1);
        if (!std::setlocale(LC_NUMERIC, "pt_BR.UTF-8")) {
            saved ? ::setenv("LC_ALL", previous.c_str(), 1) : ::unsetenv("LC_ALL");
            GTEST_SKIP() << "pt_BR.UTF-8 is not installed";
        }
        std::setlocale(LC_NUMERIC, "C");
        EXPECT_EQ(systemDecimalSeparator(), ',');
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
        ::setenv("LC_ALL", "C", 1);
        EXPECT_EQ(systemDecimalSeparator(), '.');
        saved ? ::setenv("LC_ALL", previous.c_str(), 1) : ::unsetenv("LC_ALL");
    }
#endif

} // namespace
} // namespace koravel
