// The size of a report worked out from n alone, in exact 128-bit counts, and the refusals of a
// report that the window could not hold or the command line could not write.
#include "report/size_limits.h"

#include <algorithm>
#include <cstdint>

#include "numtext/error.h"
#include "numtext/numtext.h"
#include "platform/system.h"

namespace koravel {

namespace {

    ReportCount add(ReportCount a, ReportCount b)
    {
        ReportCount sum;
        return __builtin_add_overflow(a, b, &sum) ? kReportCountMax : sum;
    }

    ReportCount multiply(ReportCount a, ReportCount b)
    {
        ReportCount product;
        return __builtin_mul_overflow(a, b, &product) ? kReportCountMax : product;
    }

    // C(n, k) for k up to 4: the product of k consecutive numbers, divided once at the end.
    // n below 2^31 keeps the product below 2^124.
    ReportCount choose(std::int64_t n, int k)
    {
        if (n < k)
            return 0;
        ReportCount product = 1;
        ReportCount factorial = 1;
        for (int i = 0; i < k; ++i) {
            product = multiply(product, ReportCount(n - i));
            factorial *= ReportCount(i + 1);
        }
        return product / factorial;
    }

    // The digits of the numbers 1 to n written out: 9 of one digit, 90 of two, and so on.
    ReportCount digitsUpTo(std::int64_t n)
    {
        ReportCount total = 0;
        std::int64_t low = 1;
        for (int digits = 1; low <= n; ++digits, low *= 10) {
            const std::int64_t high = std::min(n, low * 10 - 1);
            total += ReportCount(high - low + 1) * ReportCount(digits);
        }
        return total;
    }

    // The layout of a candidate line apart from its parent numbers: the fixed texts, the tabs,
    // the mean ("0.000", five characters at least), the CV ("0.0", three), one character for
    // each single-cross value, and CR LF.
    //   HD: "HD (" "x" ")(" "x" ") =>" = 12, 6 tabs, 5 + 3 + 4 values, 2 -> 32
    //   HT: "HT (" "x" ") " " =>" = 10, 4 tabs, 5 + 3 + 2 values, 2 -> 26
    struct LineShape
    {
        int parents; // lines in one candidate
        ReportCount fixedBytes;
    };

    LineShape shapeOf(HybridKind kind)
    {
        return kind == HybridKind::DoubleCross ? LineShape { 4, 32 } : LineShape { 3, 26 };
    }

    const char *kindText(HybridKind kind)
    {
        return kind == HybridKind::DoubleCross ? "HDs" : "HTs";
    }

    // "Com 200 linhagens, o relatório de HDs teria 194.054.858 linhas"
    std::string linesSentence(HybridKind kind, std::int64_t n, ReportCount lines)
    {
        const std::string count = n < 0 ? "-" + groupedCount(ReportCount(-n)) : groupedCount(n);
        return "Com " + count + " linhagens, o relat\xF3rio de " + kindText(kind) + " teria "
            + groupedCount(lines) + " linhas";
    }

    // Tenths of a unit, rounded, written "28,6".
    std::string tenthsText(ReportCount amount, ReportCount unit)
    {
        const ReportCount tenths = (multiply(amount, 10) + unit / 2) / unit;
        return groupedCount(tenths / 10) + "," + char('0' + int(tenths % 10));
    }

} // namespace

ReportSize reportSize(HybridKind kind, std::int64_t n)
{
    const LineShape shape = shapeOf(kind);
    // Each set of lines gives three candidates, and each line takes part in three times the
    // sets of the other lines it can join.
    const ReportCount candidates = multiply(3, choose(n, shape.parents));
    const ReportCount perLine = multiply(3, choose(n - 1, shape.parents - 1));
    ReportCount bytes = multiply(candidates, shape.fixedBytes);
    bytes = add(bytes, multiply(perLine, digitsUpTo(n)));
    for (const std::string_view line : headerBlock(kind))
        bytes = add(bytes, line.size() + 2);
    bytes = add(bytes, reportRule().size() + 2);
    return { add(candidates, 8), bytes };
}

std::string groupedCount(ReportCount count)
{
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed += '.';
        reversed += char('0' + int(count % 10));
        count /= 10;
        ++digits;
    } while (count != 0);
    return { reversed.rbegin(), reversed.rend() };
}

std::string byteSizeText(ReportCount bytes)
{
    constexpr ReportCount kMega = 1000000, kGiga = kMega * 1000, kTera = kGiga * 1000;
    if (bytes < kMega)
        return groupedCount(bytes) + " bytes";
    if (bytes < kGiga)
        return tenthsText(bytes, kMega) + " MB";
    if (bytes < kTera)
        return tenthsText(bytes, kGiga) + " GB";
    if (bytes < kTera * 1000)
        return tenthsText(bytes, kTera) + " TB";
    return groupedCount((bytes + kTera / 2) / kTera) + " TB";
}

ReportCount windowMemoryNeeded(const ReportSize &size)
{
    constexpr ReportCount kEditorBytesPerLine = 96;
    return add(size.bytes, multiply(size.lines, kEditorBytesPerLine));
}

std::uint64_t windowMemoryLimit()
{
    constexpr std::uint64_t kCeiling = std::uint64_t(16) << 30;
    const std::optional<std::uint64_t> physical = platform::physicalMemory();
    if (!physical)
        return kCeiling;
    return std::uint64_t(std::min<ReportCount>(ReportCount(*physical) / 4 * 3, kCeiling));
}

std::uint64_t availableMemory()
{
    // What the system reckons can be had without swapping; the physical memory when unknown.
    if (const std::optional<std::uint64_t> available = platform::availableMemory())
        return *available;
    return platform::physicalMemory().value_or(UINT64_MAX);
}

void checkWindowReport(HybridKind kind, const LinesField &lines, std::uint64_t memoryLimit)
{
    const std::int32_t n = lines.count();
    const ReportSize size = reportSize(kind, n);
    const ReportCount needed = windowMemoryNeeded(size);
    if (needed <= memoryLimit)
        return;
    throw Error(linesSentence(kind, n, size.lines) + " e precisaria de cerca de "
        + byteSizeText(needed)
        + " de mem\xF3ria, mais do que a janela do relat\xF3rio pode usar neste computador ("
        + byteSizeText(memoryLimit)
        + "). Use menos linhagens, ou o koravel-cli, que grava o relat\xF3rio direto em arquivo.");
}

void checkStreamedReport(HybridKind kind, const LinesField &lines,
    std::optional<std::uint64_t> freeBytes, std::string_view outputPath)
{
    const std::int32_t n = lines.count();
    const ReportSize size = reportSize(kind, n);
    // The clean-up counts the lines in a signed 64-bit number.
    constexpr ReportCount kMaxLines = std::uint64_t(INT64_MAX);
    if (size.lines > kMaxLines)
        throw Error(linesSentence(kind, n, size.lines) + ", mais do que o koravel-cli pode contar ("
            + groupedCount(kMaxLines) + ").");
    if (freeBytes && size.bytes > *freeBytes)
        throw Error(linesSentence(kind, n, size.lines) + ", pelo menos " + byteSizeText(size.bytes)
            + ", e s\xF3 h\xE1 " + byteSizeText(*freeBytes) + " livres para \""
            + std::string(outputPath) + "\".");
}

void checkTableSize(
    std::uint64_t textBytes, std::uint64_t lines, std::uint64_t fields, std::uint64_t memoryLimit)
{
    // A line's place in the list (16 bytes), its row (40) and label (32); a cell is a string of
    // 32 bytes, held once split and once stored; longer fields take their bytes from the text.
    const ReportCount perLine = add(88, multiply(64, fields));
    const ReportCount needed = add(multiply(2, textBytes), multiply(lines, perLine));
    if (needed <= memoryLimit)
        return;
    throw Error("O arquivo tem " + groupedCount(lines) + " linhas, com " + groupedCount(fields)
        + (fields == 1 ? " campo" : " campos") + " na primeira; a tabela precisaria de cerca de "
        + byteSizeText(needed)
        + " de mem\xF3ria, mais do que o programa pode usar neste computador ("
        + byteSizeText(memoryLimit) + ").");
}

} // namespace koravel
