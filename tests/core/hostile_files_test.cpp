// Files no one meant as data: each imports soundly or is refused with a message that says why,
// and a refused one leaves the table, the buttons, the progress bar and the line buffer as they
// were after the earlier import.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "table/cell_grid.h"
#include "error_of.h"
#include "table/import.h"
#include "progress.h"
#include "report/size_limits.h"
#include "table/text_encoding.h"

using namespace koravel;
using namespace std::string_literals;

namespace {

class Controls : public ImportControls
{
public:
    std::optional<std::string> chooseFile() override { return chosen; }
    void setLineBuffer(std::string text) override { lineBuffer = std::move(text); }
    void enablePredictions() override { ++enableCalls; }
    void information(const std::string &) override { }

    std::optional<std::string> chosen;
    std::string lineBuffer;
    int enableCalls = 0;
};

struct Cell
{
    int column, row;
    std::string text;
};

// A file, or another thing with a name, made in the test's folder; its path.
using Maker = std::function<std::string(const std::filesystem::path &folder)>;

Maker bytes(std::string content)
{
    return [content = std::move(content)](const std::filesystem::path &folder) {
        const std::string path = (folder / "dados.txt").string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    };
}

struct Row
{
    std::string name;
    Maker make;
    std::string error; // "" when the file imports; "%p" stands for the path
    int rows = 0, columns = 0; // of the table after the import
    std::vector<Cell> cells = {};
};

std::string repeated(const std::string &piece, std::size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Bytes that look like nothing: a fixed pseudo-random sequence without NULs.
std::string noise(std::size_t size)
{
    std::string text(size, ' ');
    unsigned state = 12345;
    for (char &c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>((state >> 16) % 255 + 1);
    }
    return text;
}

class HostileFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/koravel-hostile-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        m_folder = name;
        grid.setCell(1, 0, "Pai A");
        grid.setCell(2, 0, "Pai B");
        grid.setCell(3, 0, "PRODU\xC7\xC3O");
        // The table the user had before the hostile file.
        controls.chosen = bytes("1 2 4.5\n1 3 5\n")(m_folder);
        importDataFile(controls, grid, progress);
        std::filesystem::remove(*controls.chosen);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string state() const
    {
        std::string text = std::to_string(grid.rowCount()) + "x"
            + std::to_string(grid.columnCount()) + " " + std::to_string(progress.maximum()) + "/"
            + std::to_string(progress.position()) + " " + std::to_string(controls.enableCalls) + " "
            + std::to_string(controls.lineBuffer.size());
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 5; ++column)
                text += "|" + grid.cell(column, row);
        return text;
    }

    void check(const Row &row)
    {
        SCOPED_TRACE(row.name);
        const std::string before = state();
        controls.chosen = row.make(m_folder);
        std::string expected = row.error;
        if (const auto at = expected.find("%p"); at != std::string::npos)
            expected.replace(at, 2, *controls.chosen);
        const int enabled = controls.enableCalls;
        EXPECT_EQ(errorOf([&] { importDataFile(controls, grid, progress); }),
            expected.empty() ? "no error" : expected);
        if (!expected.empty()) {
            EXPECT_EQ(state(), before);
        } else {
            EXPECT_EQ(controls.enableCalls, enabled + 1);
            EXPECT_EQ(grid.rowCount(), row.rows);
            EXPECT_EQ(grid.columnCount(), row.columns);
            for (const Cell &cell : row.cells)
                EXPECT_EQ(grid.cell(cell.column, cell.row), cell.text)
                    << "cell " << cell.column << "," << cell.row;
        }
        // Only what the test made goes: never a device or a kernel setting named above.
        std::error_code ignored;
        if (controls.chosen->starts_with(m_folder.string() + "/"))
            std::filesystem::remove(*controls.chosen, ignored);
    }

    std::filesystem::path m_folder;
    Controls controls;
    CellGrid grid;
    ProgressBar progress;
};

TEST_F(HostileFiles, ContentThatIsNotTheExpectedText)
{
    const Row rows[] = {
        // A spreadsheet picked by mistake: its text ends at the first NUL of the ZIP header,
        // one field; the prediction then names it in its conversion error.
        { "spreadsheet", bytes("PK\x03\x04\x14\0\x06\0"s + noise(4000)), "", 2, 2,
            { { 1, 1, "PK" }, { 0, 1, "HS 1" } } },
        { "program",
            bytes("\x7F"
                  "ELF\x02\x01\x01\0\0\0"s
                + noise(4000)),
            "", 2, 2,
            { { 1, 1,
                "\x7F"
                "ELF" } } },
        // The text ends at its first NUL: the line after it is not read.
        { "NUL between lines", bytes("1 2 4.5\n1 3 5\n\0\xFF junk\n9 9 9\n"s), "", 3, 4,
            { { 3, 2, "5" }, { 0, 3, "" } } },
        { "NUL first",
            bytes("\0"
                  "1 2 4.5\n"s),
            "TProgressBar property out of range" },
        { "NUL inside a line", bytes("1 2 4.5\n1 3\0 5\n"s), "List index out of bounds (2)" },
        // Only the first 4096 characters of a line are read: 8 of the values, 4088 of the x.
        { "100 MB in one line", bytes("1 2 4.5 " + std::string(100 << 20, 'x')), "", 2, 5,
            { { 3, 1, "4.5" }, { 4, 1, std::string(4088, 'x') } } },
        // 10,000 fields of two characters: the first 4096 characters hold 2048 of them.
        { "10,000 fields", bytes(repeated(repeated("7 ", 10000) + "\n", 3)), "", 4, 2049,
            { { 2048, 3, "7" }, { 2049, 3, "" } } },
        { "1,000,000 lines", bytes(repeated("1 2 4.5\n", 1000000)), "", 1000001, 4,
            { { 0, 1000000, "HS 1000000" }, { 3, 1000000, "4.5" } } },
        // A quote without its pair runs to the end of its line.
        { "open quote last", bytes("1 2 \"4.5\n1 3 5\n"), "", 3, 4, { { 3, 1, "4.5" } } },
        { "open quote first", bytes("\"1 2 4.5\n1 3 5\n"), "", 3, 2, { { 1, 1, "1 2 4.5" } } },
        { "open quote later", bytes("1 2 4.5\n\"1 3 5\n"), "List index out of bounds (1)" },
        // Single-byte Western European text is kept byte for byte, the code page's own
        // characters of 0x80 to 0x9F (euro, dash, curly quotes) included.
        { "Windows-1252", bytes("1 2 ol\xE1\n1 3 \x80\x96\x93x\x94\n"), "", 3, 4,
            { { 3, 1, "ol\xE1" }, { 3, 2, "\x80\x96\x93x\x94" } } },
        // Text saved as Unicode is read as the characters it holds.
        { "UTF-8", bytes("1 2 a\xC3\xA7\xC3\xA3o\n1 3 \xE2\x82\xAC\n"), "", 3, 4,
            { { 3, 1, "a\xE7\xE3o" }, { 3, 2, "?" } } },
        { "UTF-8 with its mark",
            bytes("\xEF\xBB\xBF"
                  "1 2 4.5\r\n"),
            "", 2, 4, { { 1, 1, "1" } } },
        { "UTF-16",
            bytes("\xFF\xFE"
                  "1\0 \0"
                  "2\0 \0\xE7\0\r\0\n\0"s),
            "", 2, 4, { { 1, 1, "1" }, { 3, 1, "\xE7" } } },
    };
    for (const Row &row : rows)
        check(row);
}

TEST_F(HostileFiles, NamesThatAreNotReadableFiles)
{
    const auto folder = [](const std::filesystem::path &in) {
        std::filesystem::create_directory(in / "pasta.txt");
        return (in / "pasta.txt").string();
    };
    // A pipe with no writer would hold a plain open forever.
    const auto pipe = [](const std::filesystem::path &in) {
        const std::string path = (in / "fila.txt").string();
        return ::mkfifo(path.c_str(), 0600) == 0 ? path : "mkfifo failed";
    };
    // Chosen in the dialog, then removed before the import reads it.
    const auto vanished = [](const std::filesystem::path &in) {
        const std::string path = bytes("1 2 4.5\n")(in);
        std::filesystem::remove(path);
        return path;
    };
    const Row rows[] = {
        { "folder", folder, "Cannot open file \"%p\". Is a directory" },
        { "pipe", pipe, "Cannot open file \"%p\". Not a regular file" },
        { "device", [](auto &) { return "/dev/zero"s; },
            "Cannot open file \"/dev/zero\". Not a regular file" },
        { "vanished", vanished, "Cannot open file \"%p\". No such file or directory" },
    };
    for (const Row &row : rows)
        check(row);
}

TEST_F(HostileFiles, UnreadableFile)
{
    // Root reads a file whatever its mode; a kernel setting that may only be written refuses
    // even root. Without either there is nothing to try.
    std::string path = (m_folder / "fechado.txt").string();
    if (::geteuid() == 0) {
        path = "/proc/sys/vm/drop_caches";
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd >= 0 || errno != EACCES) {
            if (fd >= 0)
                ::close(fd);
            GTEST_SKIP() << "running as root, and " << path << " is not refused to root here";
        }
    } else {
        std::ofstream(path) << "1 2 4.5\n";
        ::chmod(path.c_str(), 0);
    }
    check({ "unreadable", [&](auto &) { return path; },
        "Cannot open file \"" + path + "\". Permission denied" });
}

TEST_F(HostileFiles, TableBeyondTheMemoryIsRefusedBeforeItIsBuilt)
{
    // 100,000 lines of 3 fields: twice the 800,000 bytes of text and 280 bytes a line, 29.6 MB.
    const std::string before = state();
    controls.chosen = bytes(repeated("1 2 4.5\n", 100000))(m_folder);
    EXPECT_EQ(errorOf([&] { importDataFile(controls, grid, progress, kMaxTextBytes, 10000000); }),
        "O arquivo tem 100.000 linhas, com 3 campos na primeira; a tabela precisaria de cerca "
        "de 29,6 MB de mem\xF3ria, mais do que o programa pode usar neste computador (10,0 MB).");
    EXPECT_EQ(state(), before);
    EXPECT_EQ(errorOf([] { checkTableSize(800000, 100000, 3, 29600000); }), "no error");
    EXPECT_NE(errorOf([] { checkTableSize(800000, 100000, 3, 29599999); }), "no error");
    // One field is "campo"; a file of newlines alone has lines of none.
    EXPECT_EQ(errorOf([] { checkTableSize(1000, 1000, 1, 1000); }),
        "O arquivo tem 1.000 linhas, com 1 campo na primeira; a tabela precisaria de cerca de "
        "154.000 bytes de mem\xF3ria, mais do que o programa pode usar neste computador (1.000 "
        "bytes).");
}

TEST(SingleByteText, UnicodeFilesBecomeTheirCharactersAndOthersStayByteForByte)
{
    const struct
    {
        const char *name;
        std::string in, out;
    } rows[] = {
        { "ASCII", "1 2 4.5\n", "1 2 4.5\n" },
        { "Latin-1 accents", "a\xE7\xE3o \xC9", "a\xE7\xE3o \xC9" },
        // A Latin-1 capital A with tilde and a copyright sign read as one UTF-8 character.
        { "Latin-1 that reads as UTF-8", "\xC3\xA9", "\xE9" },
        { "UTF-8 beyond Latin-1", "\xE2\x80\x93 \xF0\x9F\x8C\xBD", "? ?" },
        { "overlong form", "\xC0\xAF \xE7", "\xC0\xAF \xE7" },
        { "surrogate half", "\xED\xA0\x80", "\xED\xA0\x80" },
        { "cut short", "a\xC3", "a\xC3" },
        { "UTF-8 mark alone", "\xEF\xBB\xBF", "" },
        { "UTF-8 mark before Latin-1",
            "\xEF\xBB\xBF"
            "a\xE7",
            "a\xE7" },
        { "UTF-16 high byte first", "\xFE\xFF\0001\0 \0\xE7\x20\xAC"s, "1 \xE7?" },
        { "UTF-16 odd last byte",
            "\xFF\xFE"
            "1\0"
            "2"s,
            "1" },
        { "UTF-16 NUL",
            "\xFF\xFE"
            "1\0\0\0"
            "2\0"s,
            "1\0"
            "2"s },
        // The text ends at its first NUL: what follows cannot decide how the rest is read.
        { "UTF-8 before a NUL", "1 2 a\xC3\xA7\0\xFF"s, "1 2 a\xE7" },
        { "Latin-1 before a NUL", "a\xE7\0\xC3\xA7"s, "a\xE7\0\xC3\xA7"s },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(singleByteText(row.in), row.out);
    }
}

} // namespace
