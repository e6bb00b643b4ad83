// The counts of possible hybrids, against hand-computed 3·C(n,4) and 3·C(n,3).
#include <gtest/gtest.h>

#include "prediction/counts.h"
#include "numtext/error.h"

namespace koravel {
namespace {

    struct CountCase
    {
        const char *text;
        FormatSettings settings;
        const char *doubleCrosses;
        const char *threeWayCrosses;
    };

    TEST(HybridCounts, ReferenceValues)
    {
        const CountCase countCases[] = {
            { "1", {}, "0", "0" },
            { "2", {}, "0", "0" }, // (1*2)*0 with a negative factor after it: no "-0"
            { "3", {}, "0", "3" }, { "4", {}, "3", "12" }, { "5", {}, "15", "30" },
            { "6", {}, "45", "60" }, { "7", {}, "105", "105" }, { "0", {}, "0", "0" },
            { "24", {}, "31878", "6072" }, { "100", {}, "11763675", "485100" },
            // Not written by the spin control, but read as a real all the same:
            // 3.5*4.5*2.5*1.5/8 = 7.38..., 3.5*4.5*2.5/2 = 19.6875.
            { "4.5", {}, "7", "20" }, { "4,5", { ',' }, "7", "20" },
            { "-1", {}, "3", "-3" }, // (-2*-1)*-3*-4/8 = 3 and (-2*-1)*-3/2 = -3
        };
        for (const CountCase &c : countCases) {
            SCOPED_TRACE(c.text);
            const HybridCounts counts = hybridCounts(c.text, c.settings);
            EXPECT_EQ(counts.doubleCrosses, c.doubleCrosses);
            EXPECT_EQ(counts.threeWayCrosses, c.threeWayCrosses);
        }
    }

    TEST(HybridCounts, BadFieldAndOverflow)
    {
        try {
            hybridCounts("12a", {});
            ADD_FAILURE() << "no conversion error";
        } catch (const Error &error) {
            EXPECT_EQ(error.message(), "'12a' is not a valid floating point value");
        }
        // n^4 beyond the extended range is an overflow, not the text "INF".
        try {
            hybridCounts("1e2000", {});
            ADD_FAILURE() << "no overflow";
        } catch (const Error &error) {
            EXPECT_EQ(error.message(), "Floating point overflow");
        }
    }

} // namespace
} // namespace koravel
