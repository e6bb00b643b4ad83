// The names breeders give their lines (L-23, B73, Mo17), read from a names file: one line per
// inbred, its number and then its name.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace koravel {

class LineNames
{
public:
    LineNames() = default;

    // Reads the file as a data file is read (UTF-8, UTF-16 with its mark or single-byte text,
    // any line end). On each line the first field is the line's number, an integer from 1 up;
    // the rest of the line, without its outer blanks, is its name. Blank lines are skipped.
    //   "1 B73\r\n2  Mo 17 \n"  -> name(1) "B73", name(2) "Mo 17", name(3) ""
    //   "1 B73\n1 Mo17\n"       -> Error "Arquivo de nomes "<path>", linha 2: a linhagem 1 já tem nome"
    //   "x B73\n"               -> Error "..., linha 1: 'x' não é um número de linhagem"
    //   "4\n"                   -> Error "..., linha 1: falta o nome da linhagem 4"
    // A file that cannot be read raises the data files' Error "Cannot open file ...".
    static LineNames read(const std::string &path);
    // The same from the file's bytes; path only names it in the messages.
    static LineNames parse(std::string bytes, const std::string &path);

    // The name of the line in single-byte text, "" when it has none.
    std::string_view name(int line) const;
    bool empty() const { return m_names.empty(); }

private:
    std::map<int, std::string> m_names;
};

} // namespace koravel
