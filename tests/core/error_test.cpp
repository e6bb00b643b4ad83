// The display rule of error messages, the message texts, and the Latin-1 conversions.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>

#include "numtext/error.h"
#include "numtext/locale_settings.h"
#include "table/text_encoding.h"

namespace koravel {
namespace {

    TEST(FinalStop, AppendsOnlyAfterCharactersAboveThePoint)
    {
        struct Row
        {
            const char *name;
            std::string_view message;
            std::string_view shown;
        };
        const Row rows[] = {
            { "letter", "Stream write error", "Stream write error." },
            { "digit", "List index out of bounds (0", "List index out of bounds (0." },
            { "closingParenthesis", "List index out of bounds (0)",
                "List index out of bounds (0)" },
            { "apostropheBelowPoint", "'x' is not a valid integer value'",
                "'x' is not a valid integer value'" },
            { "exclamation", "Os dados n\xE3o foram gravados !!!",
                "Os dados n\xE3o foram gravados !!!" },
            { "point", "Done.", "Done." },
            { "blank", "Done ", "Done " },
            { "colon", "Reason:", "Reason:." },
            { "question", "Why?", "Why?." },
            { "slash", "a/", "a/." },
            { "latin1Letter", "PRODU\xC7\xC3O", "PRODU\xC7\xC3O." },
            { "empty", "", "" },
        };
        for (const Row &row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(withFinalStop(row.message), row.shown);
        }
    }

    TEST(Messages, KeepTheWholeTextBetweenTheQuotes)
    {
        EXPECT_EQ(invalidIntegerMessage(""), "'' is not a valid integer value");
        EXPECT_EQ(invalidIntegerMessage(" 42 "), "' 42 ' is not a valid integer value");
        EXPECT_EQ(invalidFloatMessage("2,5"), "'2,5' is not a valid floating point value");
        EXPECT_EQ(propertyOutOfRangeMessage(), "TProgressBar property out of range");
        EXPECT_EQ(listIndexMessage(2), "List index out of bounds (2)");
        EXPECT_EQ(cannotOpenFileMessage("/tmp/x.txt", "No such file or directory"),
            "Cannot open file \"/tmp/x.txt\". No such file or directory");
    }

    TEST(Messages, SystemReasonLosesItsTrailingStopsAndBlanks)
    {
        const std::string reason = systemReason(ENOENT);
        ASSERT_FALSE(reason.empty());
        EXPECT_NE(reason.back(), '.');
        EXPECT_NE(reason.back(), ' ');
        EXPECT_NE(reason.back(), '\n');
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

} // namespace
} // namespace koravel
