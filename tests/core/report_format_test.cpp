// The report's fixed texts and the layout of its candidate lines, byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "report/report_format.h"

namespace koravel {
namespace {

    const std::string kRule(128, '-');

    TEST(ReportFormat, RuleIs128Hyphens)
    {
        EXPECT_EQ(reportRule(), kRule);
    }

    TEST(ReportFormat, HeaderBlocks)
    {
        const std::array<std::string, 7> doubleCross { kRule,
            "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
            "BRIDOS DUPLOS",
            "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
            "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)", "" };
        const std::array<std::string, 7> threeWay { kRule,
            "APLICATIVO Koravel   -   PREDI\xC7\xC3O DE H\xCD"
            "BRIDOS TRIPLOS",
            "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
            "HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)", "" };
        const auto hd = headerBlock(HybridKind::DoubleCross);
        const auto ht = headerBlock(HybridKind::ThreeWayCross);
        for (std::size_t line = 0; line < 7; ++line) {
            SCOPED_TRACE(line);
            EXPECT_EQ(hd[line], doubleCross[line]);
            EXPECT_EQ(ht[line], threeWay[line]);
        }
        // Single-byte text: "PREDIÇÃO" is 8 bytes, the titles 50 and 53.
        EXPECT_EQ(hd[1].size(), 50u);
        EXPECT_EQ(ht[1].size(), 53u);
    }

    struct LineCase
    {
        const char *name;
        bool falso;
        int i, j, k, l;
        double mean, cv;
        std::array<std::string_view, 4> values;
        char separator;
        const char *expected;
    };

    TEST(ReportFormat, DoubleCrossLines)
    {
        const LineCase lineCases[] = {
            { "predicted", false, 1, 2, 3, 4, 5.25, 8.694, { "5", "5.5", "4.75", "5.75" }, '.',
                "HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75" },
            { "FALSO", true, 1, 3, 2, 4, 0.0, 0.0, { "0", "5.5", "6", "4" }, '.',
                "FALSO HD (1x3)(2x4) =>\t0.000\t0.0\t0\t5.5\t6\t4" },
            { "comma separator", false, 12, 30, 14, 100, 5.0625, 17.28, { "6", "5,5", "4,75", "4" },
                ',', "HD (12x30)(14x100) =>\t5,063\t17,3\t6\t5,5\t4,75\t4" },
            { "negative mean and CV", false, 1, 2, 3, 4, -2.5, -40.0, { "-1", "-2", "-3", "-4" },
                '.', "HD (1x2)(3x4) =>\t-2.500\t-40.0\t-1\t-2\t-3\t-4" },
        };
        for (const LineCase &c : lineCases) {
            SCOPED_TRACE(c.name);
            std::string line = "kept|";
            appendDoubleCrossLine(line, c.falso, c.i, c.j, c.k, c.l, c.mean, c.cv, c.values,
                FormatSettings { c.separator });
            EXPECT_EQ(line, std::string("kept|") + c.expected);
        }
    }

    TEST(ReportFormat, ThreeWayCrossLines)
    {
        std::string line;
        appendThreeWayCrossLine(line, false, 1, 2, 3, 5.5, 12.856, { "5", "6" }, {});
        EXPECT_EQ(line, "HT (1x2) 3 =>\t5.500\t12.9\t5\t6");
        line.clear();
        appendThreeWayCrossLine(line, true, 2, 3, 1, 0.0, 0.0, { "0", "1E-5" }, { ',' });
        EXPECT_EQ(line, "FALSO HT (2x3) 1 =>\t0,000\t0,0\t0\t1E-5");
    }

} // namespace
} // namespace koravel
