// Runs the built koravel-cli with its standard output and error captured, for the tests.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace clitest {

struct CliRun
{
    int status = -1; // the exit status; a crash shows as -1 or above 128
    std::string out;
    std::string err;
};

inline std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A folder of its own for each test, removed at the end.
class TempDir
{
public:
    TempDir()
    {
        std::string name = (std::filesystem::temp_directory_path() / "koravel-cli-XXXXXX");
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = name;
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string file(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(m_path / name, std::ios::binary) << bytes;
        return (m_path / name).string();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    std::filesystem::path m_path;
};

// Quoted for the shell: 'it'\''s'.
inline std::string quoted(const std::string &text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// Runs koravel-cli with the arguments under the "C" locale (decimal point), reading nothing.
// Standard output goes to a file read back into out, or to the device given as stdoutDevice.
inline CliRun runCli(
    const std::vector<std::string> &arguments, const std::string &stdoutDevice = "")
{
    TempDir capture;
    const std::filesystem::path out =
        stdoutDevice.empty() ? capture.path() / "out" : std::filesystem::path(stdoutDevice);
    std::string command = "LC_ALL=C " + quoted(KORAVEL_CLI_PATH);
    for (const std::string &argument : arguments)
        command += " " + quoted(argument);
    command += " </dev/null >" + quoted(out) + " 2>" + quoted(capture.path() / "err");
    const int status = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = stdoutDevice.empty() ? readBytes(out) : "";
    run.err = readBytes(capture.path() / "err");
    return run;
}

inline std::string example(const std::string &name)
{
    return std::string(KORAVEL_EXAMPLES_DIR) + "/" + name;
}

// The report's lines, each followed by CR LF.
inline std::string crlf(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

inline const std::string kRule(128, '-');

// The header block of a double-cross (HD) or three-way (HT) report, in single-byte text.
inline std::string header(bool hd)
{
    return crlf({ kRule,
        hd ? "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
             "BRIDOS DUPLOS"
           : "APLICATIVO Koravel   -   PREDI\xC7\xC3O DE H\xCD"
             "BRIDOS TRIPLOS",
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        hd ? "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)"
           : "HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)",
        "" });
}

inline std::string summary(long long total, long long removed, long long predicted)
{
    return crlf({ "Hibridos possiveis totais= " + std::to_string(total),
        "Hibridos Falso preditos excluidos = " + std::to_string(removed),
        "Hibridos Reais preditos = " + std::to_string(predicted) });
}

} // namespace clitest
