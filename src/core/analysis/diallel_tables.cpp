// The tables of the diallel analysis and its text for a terminal.
#include "analysis/diallel_tables.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "analysis/line_names.h"
#include "table/text_encoding.h"

namespace koravel {

namespace {

    DiallelCell integer(long long value)
    {
        return { DiallelCell::Kind::Integer, static_cast<long double>(value), {} };
    }
    DiallelCell number(const std::optional<long double> &value)
    {
        return value ? DiallelCell { DiallelCell::Kind::Number, *value, {} } : DiallelCell {};
    }
    DiallelCell pValue(const std::optional<long double> &value)
    {
        return value ? DiallelCell { DiallelCell::Kind::PValue, *value, {} } : DiallelCell {};
    }
    DiallelCell text(std::string utf8)
    {
        return { DiallelCell::Kind::Text, 0, std::move(utf8) };
    }
    std::string crossName(int i, int j)
    {
        return std::to_string(i) + " x " + std::to_string(j);
    }

    std::vector<DiallelCell> anovaRow(const char *source, const AnovaRow &row)
    {
        return { text(source), integer(row.degreesOfFreedom), number(row.sumOfSquares),
            number(row.meanSquare), number(row.f), pValue(row.p) };
    }

    // Columns of text (crosses, names) to the left, numbers to the right, two blanks between
    // columns; widths count characters, not bytes.
    void appendAligned(std::string &out, const DiallelTable &table, char decimalMark)
    {
        std::vector<std::vector<std::string>> cells { table.header };
        for (const auto &row : table.rows) {
            cells.emplace_back();
            for (const DiallelCell &cell : row)
                cells.back().push_back(cellText(cell, decimalMark));
        }
        const auto width = [](const std::string &utf8) {
            return std::count_if(
                utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
        };
        std::vector<std::ptrdiff_t> widths(table.header.size(), 0);
        std::vector<bool> left(table.header.size(), false);
        for (const auto &row : table.rows)
            for (std::size_t c = 0; c < row.size(); ++c)
                left[c] = left[c] || row[c].kind == DiallelCell::Kind::Text;
        for (const auto &row : cells)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max<std::ptrdiff_t>(widths[c], width(row[c]));
        for (const auto &row : cells) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string padding(std::size_t(widths[c] - width(row[c])), ' ');
                if (c > 0)
                    line += "  ";
                line += left[c] ? row[c] + padding : padding + row[c];
            }
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out += line + "\n";
        }
    }

} // namespace

std::string fourDecimals(long double value, char decimalMark)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4Lf", value);
    std::string result = buffer;
    if (result == "-0.0000")
        result = "0.0000";
    std::replace(result.begin(), result.end(), '.', decimalMark);
    return result;
}

std::string pValueText(long double value, char decimalMark)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3LE", value);
    std::string result = buffer;
    // "5.667E-05" -> "5.667E-5", "2.500E+00" -> "2.500E0"
    const std::size_t e = result.find('E');
    if (e != std::string::npos) {
        std::string exponent = result.substr(e + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
            exponent.erase(0, 1);
        exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
        result = result.substr(0, e + 1) + (negative ? "-" : "") + exponent;
    }
    std::replace(result.begin(), result.end(), '.', decimalMark);
    return result;
}

std::string cellText(const DiallelCell &cell, char decimalMark)
{
    switch (cell.kind) {
    case DiallelCell::Kind::Empty:
        return {};
    case DiallelCell::Kind::Text:
        return cell.text;
    case DiallelCell::Kind::Integer:
        return std::to_string(static_cast<long long>(cell.number));
    case DiallelCell::Kind::Number:
        return fourDecimals(cell.number, decimalMark);
    case DiallelCell::Kind::PValue:
        return pValueText(cell.number, decimalMark);
    }
    return {};
}

std::vector<DiallelTable> diallelTables(const DiallelAnalysis &analysis, const LineNames &names)
{
    std::vector<DiallelTable> tables;
    DiallelTable &lines = tables.emplace_back(
        DiallelTable { "GCA", { "Linhagem", "Nome", "Média dos cruzamentos", "GCA" }, {} });
    for (const LineEffect &line : analysis.lineEffects)
        lines.rows.push_back({ integer(line.line),
            names.name(line.line).empty() ? DiallelCell {}
                                          : text(latin1ToUtf8(names.name(line.line))),
            number(line.crossMean), number(line.gca) });

    DiallelTable &anova = tables.emplace_back(DiallelTable {
        "Análise de variância", { "Fonte de variação", "GL", "SQ", "QM", "F", "Valor p" }, {} });
    anova.rows.push_back(anovaRow("GCA", analysis.gca));
    anova.rows.push_back(anovaRow("SCA", analysis.sca));
    if (analysis.error) {
        const long double degrees = static_cast<long double>(analysis.error->degreesOfFreedom);
        anova.rows.push_back({ text("Erro"), integer(analysis.error->degreesOfFreedom),
            number(*analysis.errorMeanSquare * degrees), number(*analysis.errorMeanSquare), {},
            {} });
    }

    DiallelTable &crosses =
        tables.emplace_back(DiallelTable { "SCA", { "Cruzamento", "Valor", "SCA" }, {} });
    for (const CrossEffect &cross : analysis.crosses)
        crosses.rows.push_back(
            { text(crossName(cross.i, cross.j)), number(cross.value), number(cross.sca) });

    if (!analysis.missing.empty()) {
        DiallelTable &missing = tables.emplace_back(
            DiallelTable { "Cruzamentos ausentes", { "Cruzamento ausente", "Estimativa" }, {} });
        for (const MissingCross &cross : analysis.missing)
            missing.rows.push_back({ text(crossName(cross.i, cross.j)), number(cross.estimate) });
    }
    return tables;
}

std::string diallelText(
    const DiallelAnalysis &analysis, const std::vector<DiallelTable> &tables, char decimalMark)
{
    const auto fixed = [decimalMark](
                           long double value) { return fourDecimals(value, decimalMark); };
    const long long pairs = static_cast<long long>(analysis.lines) * (analysis.lines - 1) / 2;
    std::string out = "Análise dialélica: Griffing, método 4 (só cruzamentos), modelo fixo\n";
    out += "Linhagens: " + std::to_string(analysis.lines) + "; cruzamentos presentes: "
        + std::to_string(analysis.presentCrosses) + " de " + std::to_string(pairs) + "\n";
    // Without estimable effects the general mean depends on how they are fixed: the mean of the
    // crosses present is what can be said.
    if (analysis.gcaEstimable) {
        out += "Média geral: " + fixed(analysis.grandMean) + "\n";
    } else {
        long double sum = 0;
        for (const CrossEffect &cross : analysis.crosses)
            sum += cross.value;
        out += "Média dos cruzamentos presentes: "
            + fixed(sum / static_cast<long double>(analysis.crosses.size())) + "\n";
    }
    const std::size_t missing = analysis.missing.size();
    if (!analysis.complete)
        out += "Tabela incompleta: " + std::to_string(missing)
            + (missing == 1 ? " cruzamento ausente" : " cruzamentos ausentes")
            + " (sem linha ou com valor 0).\n"
              "GCA, SQ e estimativas vêm do ajuste de mínimos quadrados de\n"
              "x(ij) = m + g(i) + g(j) aos cruzamentos presentes; SCA é o resíduo de cada um.\n";
    if (!analysis.gcaEstimable)
        out += "Há grupos de linhagens cujos cruzamentos não formam ciclo ímpar (como dois grupos\n"
               "heteróticos cruzados só entre si, ou uma linhagem sem cruzamentos): a média geral\n"
               "e os efeitos GCA não são estimáveis e ficam em branco.\n";
    if (analysis.differingPairs > 0)
        out += "Atenção: " + std::to_string(analysis.differingPairs)
            + (analysis.differingPairs == 1 ? " par tem" : " pares têm")
            + " valores diferentes em i x j e j x i; a análise usa a\n"
              "última linha de cada par, como a predição com recíprocos \"Não\".\n";
    for (const DiallelTable &table : tables) {
        out += "\n" + table.title + "\n";
        appendAligned(out, table, decimalMark);
        if (&table == &tables[1] && analysis.standardErrors) {
            const StandardErrors &se = *analysis.standardErrors;
            const ErrorTerm &error = *analysis.error;
            const std::string t = fixed(se.t975);
            out += "\nQuadrado médio do erro na escala das médias: QMR/r = "
                + fixed(error.meanSquare) + "/" + std::to_string(error.replications) + " = "
                + fixed(*analysis.errorMeanSquare) + "\n";
            out +=
                "Erros-padrão (EP) e diferenças mínimas significativas a 5 %: DMS = t x EP, com\n"
                "t = "
                + t + " (t de Student, 97,5 %, " + std::to_string(error.degreesOfFreedom)
                + " GL do erro)\n";
            DiallelTable errors { "", { "Estimativa", "EP", "DMS 5%" }, {} };
            const std::pair<const char *, long double> rows[] = { { "g(i)", se.gca },
                { "g(i) - g(j)", se.gcaDifference }, { "s(ij)", se.sca },
                { "s(ij) - s(ik)", se.scaDifferenceSharingLine },
                { "s(ij) - s(kl)", se.scaDifferenceDisjoint } };
            for (const auto &[name, value] : rows)
                errors.rows.push_back({ text(name), number(value), number(se.t975 * value) });
            appendAligned(out, errors, decimalMark);
        }
    }
    return out;
}

} // namespace koravel
