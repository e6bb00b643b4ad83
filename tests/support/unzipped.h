// A member of a ZIP archive (a workbook's sheet XML) read with the unzip command.
#pragma once

#include <cstdio>
#include <string>

namespace koravel::test {

inline std::string unzipped(const std::string &archive, const std::string &member)
{
    const auto quoted = [](const std::string &text) {
        std::string result = "'";
        for (const char c : text)
            result += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return result + "'";
    };
    const std::string command = "unzip -p " + quoted(archive) + " " + quoted(member);
    FILE *pipe = ::popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, got);
    if (pipe)
        ::pclose(pipe);
    return text;
}

} // namespace koravel::test
