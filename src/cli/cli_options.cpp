// Reading the command line of koravel-cli.
#include "cli_options.h"

#include <vector>

#include "table/data_file.h"
#include "table/text_encoding.h"
#include "terminal_messages.h"

namespace koravel::cli {

namespace {

    struct RawArguments
    {
        std::vector<std::string_view> positional;
        std::optional<std::string_view> lines, reciprocals, separator, output;
        bool clean = false;
        bool help = false;
        bool version = false;
        RawExportArguments exports;
        RawDiallelArguments diallel;
    };

    std::string quoted(std::string_view text)
    {
        return "\"" + std::string(text) + "\"";
    }

    void setOnce(
        std::optional<std::string_view> &slot, std::string_view name, std::string_view value)
    {
        if (slot)
            throw UsageError("a opção " + std::string(name) + " foi dada mais de uma vez");
        slot = value;
    }

    RawArguments splitArguments(std::span<const std::string_view> arguments)
    {
        RawArguments raw;
        bool optionsEnded = false;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::string_view argument = arguments[i];
            if (optionsEnded || (!argument.starts_with("--") && argument != "-h")) {
                raw.positional.push_back(argument);
                continue;
            }
            if (argument == "--") {
                optionsEnded = true;
                continue;
            }
            if (argument == "-h" || argument == "--help") {
                raw.help = true;
                continue;
            }
            if (argument == "--version") {
                raw.version = true;
                continue;
            }
            std::string_view name = argument;
            std::optional<std::string_view> value;
            if (const auto equals = argument.find('='); equals != std::string_view::npos) {
                name = argument.substr(0, equals);
                value = argument.substr(equals + 1);
            }
            if (name == "--clean") {
                if (value)
                    throw UsageError("a opção --clean não leva valor");
                raw.clean = true;
                continue;
            }
            if (name == "--no-report") {
                if (value)
                    throw UsageError("a opção --no-report não leva valor");
                raw.exports.noReport = true;
                continue;
            }
            if (name == "--estimate-missing") {
                if (value)
                    throw UsageError("a opção --estimate-missing não leva valor");
                raw.exports.estimateMissing = true;
                continue;
            }
            if (name == "--best-pairing") {
                if (value)
                    throw UsageError("a opção --best-pairing não leva valor");
                raw.exports.bestPairing = true;
                continue;
            }
            std::optional<std::string_view> *slot = nullptr;
            if (name == "--lines")
                slot = &raw.lines;
            else if (name == "--reciprocals")
                slot = &raw.reciprocals;
            else if (name == "--decimal-separator")
                slot = &raw.separator;
            else if (name == "--output")
                slot = &raw.output;
            else if (!exportOptionSlot(raw.exports, name, slot)
                && !diallelOptionSlot(raw.diallel, name, slot))
                throw UsageError("opção desconhecida " + quoted(name));
            if (!value) {
                if (i + 1 >= arguments.size())
                    throw UsageError("falta o valor da opção " + std::string(name));
                value = arguments[++i];
            }
            setOnce(*slot, name, *value);
        }
        return raw;
    }

    std::optional<Command> commandFromText(std::string_view text)
    {
        if (text == "hd")
            return Command::DoubleCrosses;
        if (text == "ht")
            return Command::ThreeWayCrosses;
        if (text == "counts")
            return Command::Counts;
        if (text == "dialelo")
            return Command::Diallel;
        return std::nullopt;
    }

    // The core reads Latin-1; a character outside it is kept for the messages as typed.
    std::string latin1Argument(std::string_view typed)
    {
        std::string latin1 = utf8ToLatin1(typed);
        if (latin1ToUtf8(latin1) != typed)
            showConvertedAs(latin1, typed);
        return latin1;
    }

    // A separator that a number or the report's layout already uses would make the report
    // unreadable: "7" + "0" + "000" reads as 70000, a tab splits the number into two columns,
    // and a sign, an exponent letter, a quote or a blank is part of how numbers are read.
    bool ambiguousSeparator(char separator)
    {
        const auto c = static_cast<unsigned char>(separator);
        return c <= ' ' || c == 0x7F || (c >= 0x80 && c <= 0xA0) || (c >= '0' && c <= '9')
            || c == '-' || c == '+' || c == 'e' || c == 'E' || c == '"';
    }

    char separatorOrUsageError(std::string_view text)
    {
        const std::optional<char> separator = separatorFromText(text);
        if (!separator)
            throw UsageError(
                "--decimal-separator espera exatamente um caractere, não " + quoted(text));
        if (ambiguousSeparator(*separator))
            throw UsageError("--decimal-separator não pode ser algarismo, espaço, tabulação, "
                             "sinal (+ ou -), e, E, aspas nem caractere de controle");
        return *separator;
    }

    // An output that is the data file would replace the data with what was made from it.
    void refuseDataFileAsOutput(const Options &options)
    {
        const std::pair<const char *, const std::optional<std::string> *> outputs[] = {
            { "--output", &options.outputPath }, { "--ranking", &options.exports.rankingPath },
            { "--csv", &options.exports.csvPath }, { "--xlsx", &options.exports.xlsxPath }
        };
        for (const auto &[name, path] : outputs)
            if (*path && (**path == options.dataFile || sameFile(**path, options.dataFile)))
                throw UsageError(
                    std::string(name) + " e o arquivo de dados não podem ser o mesmo arquivo");
    }

} // namespace

std::optional<Reciprocals> reciprocalsFromText(std::string_view text)
{
    std::string lower;
    for (const char c : text)
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "sim")
        return Reciprocals::Distinct;
    // "não" and "NÃO" in UTF-8: ã is C3 A3, Ã is C3 83.
    if (lower == "nao" || lower == "n\xC3\xA3o" || lower == "n\xC3\x83o")
        return Reciprocals::Either;
    return std::nullopt;
}

std::optional<char> separatorFromText(std::string_view text)
{
    if (text.size() == 1)
        return text[0];
    if (text.size() == 2) {
        const auto lead = static_cast<unsigned char>(text[0]);
        const auto trail = static_cast<unsigned char>(text[1]);
        if ((lead == 0xC2 || lead == 0xC3) && (trail & 0xC0) == 0x80)
            return static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3F));
    }
    return std::nullopt;
}

Options parseOptions(std::span<const std::string_view> arguments)
{
    const RawArguments raw = splitArguments(arguments);
    Options options;
    if (raw.help)
        return options; // Command::Help
    if (raw.version) {
        options.command = Command::Version;
        return options;
    }
    if (raw.positional.empty())
        throw UsageError("falta o comando (hd, ht, dialelo ou counts)");
    const std::optional<Command> command = commandFromText(raw.positional.front());
    if (!command)
        throw UsageError("comando desconhecido " + quoted(raw.positional.front()));
    options.command = *command;
    if (raw.separator)
        options.decimalSeparator = separatorOrUsageError(*raw.separator);

    if (options.command == Command::Counts) {
        if (raw.lines || raw.reciprocals || raw.output || raw.clean || raw.exports.any()
            || raw.diallel.any())
            throw UsageError("counts aceita só N e --decimal-separator");
        if (raw.positional.size() != 2)
            throw UsageError("counts espera um número de linhagens N");
        options.linesText = latin1Argument(raw.positional[1]);
        return options;
    }

    if (raw.positional.size() < 2)
        throw UsageError("falta o arquivo de dados");
    if (raw.positional.size() > 2)
        throw UsageError("argumento a mais " + quoted(raw.positional[2]));
    if (!raw.lines)
        throw UsageError("falta a opção --lines N");
    if (raw.output && raw.output->empty())
        throw UsageError("--output espera o nome de um arquivo");
    options.dataFile = std::string(raw.positional[1]);
    options.linesText = latin1Argument(*raw.lines);
    if (raw.reciprocals) {
        const std::optional<Reciprocals> reciprocals = reciprocalsFromText(*raw.reciprocals);
        if (!reciprocals)
            throw UsageError("--reciprocals espera sim ou nao, não " + quoted(*raw.reciprocals));
        options.reciprocals = *reciprocals;
    }
    if (options.command == Command::Diallel) {
        if (raw.reciprocals || raw.clean || raw.output || raw.exports.top || raw.exports.ranking
            || raw.exports.bestPairing || raw.exports.estimateMissing)
            throw UsageError("dialelo aceita só --lines, --decimal-separator, --error-ms, "
                             "--error-df, --replications, --names, --csv, --xlsx, "
                             "--csv-separator e --csv-decimal");
    }
    // hd and ht: the trial's error and the names go to the ranking, which they need.
    options.diallel = readDiallelOptions(raw.diallel);
    if (options.command != Command::Diallel && raw.diallel.any() && !raw.exports.top
        && !raw.exports.ranking && !raw.exports.noReport)
        throw UsageError("--error-ms, --error-df, --replications e --names pedem a ordenação "
                         "(--top K, --ranking ARQUIVO ou --no-report)");
    options.cleanUp = raw.clean;
    // Without the report there is nothing to write to --output, clean up or put in a CSV.
    if (raw.exports.noReport) {
        for (const auto &[given, name] :
            { std::pair { raw.output.has_value(), "--output" }, std::pair { raw.clean, "--clean" },
                std::pair { raw.exports.csv.has_value(), "--csv" } })
            if (given)
                throw UsageError(std::string("--no-report não combina com ") + name);
        options.noReport = true;
    }
    if (raw.output)
        options.outputPath = std::string(*raw.output);
    options.exports = readExportOptions(
        raw.exports, options.command == Command::DoubleCrosses, options.outputPath);
    refuseDataFileAsOutput(options);
    return options;
}

std::string_view usageText()
{
    return "Uso: koravel-cli hd ARQUIVO --lines N [--reciprocals sim|nao] [--decimal-separator C]\n"
           "                   [--clean] [--output SAIDA] [--top K] [--best-pairing]\n"
           "                   [--ranking CSV] [--csv CSV] [--xlsx XLSX] [--no-report]\n"
           "                   [--csv-separator C] [--csv-decimal C] [--estimate-missing]\n"
           "                   [--error-ms QMR --error-df GL --replications R] [--names NOMES]\n"
           "     koravel-cli ht ARQUIVO --lines N [as mesmas opções]\n"
           "     koravel-cli dialelo ARQUIVO --lines N [--decimal-separator C]\n"
           "                   [--error-ms QMR --error-df GL --replications R] [--names NOMES]\n"
           "                   [--csv CSV] [--xlsx XLSX] [--csv-separator C] [--csv-decimal C]\n"
           "     koravel-cli counts N\n"
           "     koravel-cli --help\n"
           "     koravel-cli --version\n";
}

std::string_view helpText()
{
    return "koravel-cli: predição de híbridos duplos (HD) e triplos (HT) de milho a partir\n"
           "das médias dos híbridos simples (HS), sem janelas.\n"
           "\n"
           "Uso:\n"
           "  koravel-cli hd ARQUIVO --lines N [opções]   prediz todos os HDs (i x j)(k x l)\n"
           "  koravel-cli ht ARQUIVO --lines N [opções]   prediz todos os HTs (i x j) k\n"
           "  koravel-cli dialelo ARQUIVO --lines N [opções]  análise dialélica dos HS\n"
           "  koravel-cli counts N                        mostra quantos HDs e HTs são possíveis\n"
           "\n"
           "ARQUIVO é o arquivo de dados: uma linha por híbrido simples com pai A, pai B e o\n"
           "valor, separados por espaços ou tabulações, sem linha de cabeçalho.\n"
           "\n"
           "Opções:\n"
           "  --lines N                número de linhagens: as linhagens 1 a N entram na predição\n"
           "  --reciprocals sim|nao    sim (padrão): i x j e j x i são cruzamentos distintos;\n"
           "                           nao: a ordem dos pais não importa\n"
           "  --decimal-separator C    separador decimal, um caractere (padrão: o das\n"
           "                           configurações regionais do usuário)\n"
           "  --clean                  remove as linhas FALSO e acrescenta o resumo, como\n"
           "                           \".:: LIMPAR ::.\" na janela do relatório\n"
           "  --output SAIDA           grava o relatório em SAIDA (substituído só no fim, "
           "inteiro)\n"
           "                           em vez de escrevê-lo na saída padrão\n"
           "  --top K                  ordena os híbridos preditos (não FALSO) pela média, da\n"
           "                           maior para a menor, e guarda os K melhores (padrão 20)\n"
           "  --best-pairing           (hd) de cada conjunto de quatro linhagens, só o melhor\n"
           "                           dos três pareamentos entra na ordenação\n"
           "  --ranking CSV            grava a ordenação em CSV: posição, híbrido, média, CV%,\n"
           "                           HS; depois, quantas vezes cada linhagem aparece entre os\n"
           "                           K melhores; separadores como os do --csv\n"
           "  --csv CSV                grava os híbridos do relatório em CSV (UTF-8, cabeçalho\n"
           "                           em português; os FALSO marcados, ou fora com --clean)\n"
           "  --csv-separator C        separador de campos do CSV (padrão: ponto e vírgula;\n"
           "                           \\t ou tab para tabulação)\n"
           "  --csv-decimal C          separador decimal do CSV: , (padrão) ou .\n"
           "  --xlsx XLSX              grava os híbridos numa planilha XLSX (folha Candidatos;\n"
           "                           com --top, também a folha Ordenação). Uma folha comporta\n"
           "                           1.048.575 híbridos: hd até 55 linhagens, ht até 129\n"
           "  --no-report              só a ordenação, sem o relatório: acha os K melhores sem\n"
           "                           calcular todos os híbridos (os mesmos, com os mesmos\n"
           "                           empates e a mesma ordem), para qualquer N que a memória\n"
           "                           comporte; pede --ranking ou --xlsx (a planilha leva só a\n"
           "                           folha Ordenação) e não combina com --output, --clean\n"
           "                           nem --csv\n"
           "  --estimate-missing       a ordenação também ordena os híbridos FALSO só por falta\n"
           "                           de HS (sem linha ou 0), com as estimativas desses HS pelo\n"
           "                           ajuste de m + g(i) + g(j) (o de dialelo; 4 a 1000\n"
           "                           linhagens), marcados sim na coluna Estimado; quem pede um\n"
           "                           HS não estimável fica de fora; o relatório não muda; com\n"
           "                           --no-report, calcula todos os híbridos\n"
           "  --error-ms, --error-df, --replications (abaixo), com a ordenação: colunas EP\n"
           "                           (erro-padrão do híbrido; de HS medidos, raiz de\n"
           "                           QMR/(4R) num HD e de QMR/(2R) num HT) e Difere do 1º (5%)\n"
           "                           (sim quando a diferença para o primeiro passa de\n"
           "                           t(0,975; GL) vezes o erro-padrão da diferença, que conta\n"
           "                           os HS em comum; um HS estimado entra pelos HS do ajuste)\n"
           "  --names NOMES            (abaixo) com a ordenação: colunas com os nomes; o\n"
           "                           relatório fica com os números\n"
           "  -h, --help               mostra esta ajuda\n"
           "  --version                mostra a versão do koravel-cli\n"
           "\n"
           "Análise dialélica (dialelo): método 4 de Griffing (1956), só os cruzamentos, sem\n"
           "genitores nem recíprocos, modelo fixo. O par i, j é lido nas duas ordens (a última\n"
           "linha vale, como em --reciprocals nao). Mostra a média geral, os efeitos da\n"
           "capacidade geral (GCA) e específica (SCA) de combinação e a análise de variância na\n"
           "escala das médias; com N de 4 em diante. Um cruzamento ausente (sem linha ou com\n"
           "valor 0) é estimado pelo ajuste de mínimos quadrados de m + g(i) + g(j) aos\n"
           "cruzamentos presentes, ou dado como não estimável quando o grupo das suas linhagens\n"
           "não tem ciclo ímpar de cruzamentos (dois grupos heteróticos cruzados só entre si).\n"
           "  --error-ms QMR           quadrado médio do resíduo do ensaio, por parcela\n"
           "  --error-df GL            graus de liberdade do resíduo\n"
           "  --replications R         repetições: o erro de uma média de HS é QMR/R. Com os\n"
           "                           três, a análise tem a linha Erro, F e valores p e, com\n"
           "                           a tabela completa, os erros-padrão dos efeitos e as DMS\n"
           "                           a 5 %. Supõe que os HS são médias independentes de R\n"
           "                           parcelas, todas com a mesma variância: sem covariância\n"
           "                           entre eles (parcelas vizinhas, linhagens aparentadas ou\n"
           "                           ambiente comum a vários HS a criariam); vale também para\n"
           "                           EP e Difere do 1º de hd e ht\n"
           "  --names NOMES            nomes das linhagens: uma linha por linhagem, o número e\n"
           "                           o nome (UTF-8 ou Latin-1, como o arquivo de dados)\n"
           "  --csv, --xlsx            gravam as tabelas (GCA, análise de variância, SCA e os\n"
           "                           cruzamentos ausentes): números com 4 decimais, valores p\n"
           "                           com 4 algarismos significativos (5,667E-12)\n"
           "\n"
           "O relatório sai com os mesmos bytes que \".:: Salvar ::.\" gravaria: texto Latin-1,\n"
           "cada linha terminada por CR LF. Avisos e erros vão para a saída de erro.\n"
           "\n"
           "Códigos de saída: 0 concluído, 1 erro (nada é escrito na saída padrão e SAIDA fica\n"
           "como estava), 2 uso incorreto.\n";
}

} // namespace koravel::cli
