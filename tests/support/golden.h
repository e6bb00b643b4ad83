// The rows of tests/data/golden/: every example, double and three-way crosses, either reciprocal
// option, and the files written for each before the program was reshaped.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures.h"

namespace koravel::test {

struct GoldenRow
{
    std::string example; // examples/<example>.txt
    int lines;
    bool hd;
    bool sim; // --reciprocals sim: a cross and its reciprocal are distinct
    char separator; // the data's decimal separator

    std::string stem() const { return example + (hd ? ".hd" : ".ht") + (sim ? ".sim" : ".nao"); }
    // The golden file's bytes; "" when there is none (workbooks were kept for two rows only).
    std::string file(const std::string &suffix) const
    {
        return readBytes(std::string(KORAVEL_GOLDEN_DIR) + "/" + stem() + suffix);
    }
};

inline std::vector<GoldenRow> goldenRows()
{
    const struct
    {
        const char *name;
        int lines;
        char separator;
    } examples[] = { { "griffing56_maize", 9, '.' }, { "dialelo_completo", 6, '.' },
        { "dialelo_incompleto", 7, '.' }, { "dialelo_virgula", 5, ',' } };
    std::vector<GoldenRow> rows;
    for (const auto &example : examples)
        for (const bool hd : { true, false })
            for (const bool sim : { true, false })
                rows.push_back({ example.name, example.lines, hd, sim, example.separator });
    return rows;
}

// A test name for gtest: "dialelo_completo_hd_sim".
inline std::string goldenName(const testing::TestParamInfo<GoldenRow> &info)
{
    std::string name = info.param.stem();
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

} // namespace koravel::test
