// Reading the names file through the data files' encodings and line rules.
#include "analysis/line_names.h"

#include "numtext/error.h"
#include "numtext/numtext.h"
#include "table/data_file.h"
#include "table/text_encoding.h"

namespace koravel {

namespace {

    // Names are short; a file larger than this is not a names file.
    constexpr std::size_t kMaxNamesFileBytes = 16u << 20;

    bool blank(char c)
    {
        return c > 0 && static_cast<unsigned char>(c) <= ' ';
    }

    std::string_view trimmed(std::string_view text)
    {
        while (!text.empty() && blank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && blank(text.back()))
            text.remove_suffix(1);
        return text;
    }

} // namespace

LineNames LineNames::read(const std::string &path)
{
    return parse(readFileBytes(path, kMaxNamesFileBytes), path);
}

LineNames LineNames::parse(std::string bytes, const std::string &path)
{
    const std::string text = singleByteText(std::move(bytes));
    LineNames names;
    int lineNumber = 0;
    for (const std::string_view line : splitLines(text)) {
        ++lineNumber;
        const std::string_view content = trimmed(line);
        if (content.empty())
            continue;
        const std::string where =
            "Arquivo de nomes \"" + fullPath(path) + "\", linha " + intToStr(lineNumber) + ": ";
        std::size_t end = 0;
        while (end < content.size() && !blank(content[end]))
            ++end;
        const std::string_view number = content.substr(0, end);
        std::int32_t lineOf = 0;
        try {
            lineOf = strToInt(number);
        } catch (const Error &) {
            lineOf = 0;
        }
        if (lineOf < 1)
            throw Error(
                where + "'" + std::string(number) + "' n\xE3o \xE9 um n\xFAmero de linhagem");
        const std::string_view name = trimmed(content.substr(end));
        if (name.empty())
            throw Error(where + "falta o nome da linhagem " + intToStr(lineOf));
        if (!names.m_names.emplace(lineOf, std::string(name)).second)
            throw Error(where + "a linhagem " + intToStr(lineOf) + " j\xE1 tem nome");
    }
    return names;
}

std::string_view LineNames::name(int line) const
{
    const auto found = m_names.find(line);
    return found == m_names.end() ? std::string_view() : std::string_view(found->second);
}

} // namespace koravel
