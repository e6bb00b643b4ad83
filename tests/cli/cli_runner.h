// Runs the built koravel-cli with its standard output and error captured, for the tests.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace clitest {

struct CliRun
{
    int status = -1; // the exit status, or -1 when the program did not exit normally
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

inline void writeBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A folder of its own for each test, removed at the end.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "koravel-cli-XXXXXX");
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = name.data();
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string file(const std::string &name, const std::string &bytes) const
    {
        writeBytes(m_path / name, bytes);
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

// Runs koravel-cli with the arguments under the "C" locale (decimal point) unless the caller
// passes other settings, e.g. {"LC_ALL=C.UTF-8"}.
// Standard output goes to a file read back into out, or to the device given as stdoutDevice.
inline CliRun runCli(const std::vector<std::string> &arguments,
    const std::vector<std::string> &environment = { "LC_ALL=C" },
    const std::string &stdoutDevice = "")
{
    TempDir capture;
    const std::string outPath =
        stdoutDevice.empty() ? (capture.path() / "out").string() : stdoutDevice;
    const std::string errPath = (capture.path() / "err").string();

    std::vector<std::string> env;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!text.starts_with("LC_") && !text.starts_with("LANG=")
            && !text.starts_with("LANGUAGE="))
            env.push_back(text);
    }
    env.insert(env.end(), environment.begin(), environment.end());

    std::vector<std::string> argv { KORAVEL_CLI_PATH };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char *> argvPointers, envPointers;
    for (std::string &a : argv)
        argvPointers.push_back(a.data());
    argvPointers.push_back(nullptr);
    for (std::string &e : env)
        envPointers.push_back(e.data());
    envPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(
        &actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(
        &pid, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    CliRun run;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
        return run;
    }
    int waitStatus = 0;
    while (::waitpid(pid, &waitStatus, 0) < 0) { }
    run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    if (stdoutDevice.empty())
        run.out = readBytes(outPath);
    run.err = readBytes(errPath);
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

inline std::string doubleCrossHeader()
{
    return crlf({ kRule,
        "APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS DUPLOS",
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)", "" });
}

inline std::string threeWayHeader()
{
    return crlf({ kRule,
        "APLICATIVO Koravel   -   PREDI\xC7\xC3O DE H\xCD"
        "BRIDOS TRIPLOS",
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        "HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)", "" });
}

inline std::string summary(long long total, long long removed, long long predicted)
{
    return crlf({ "Hibridos possiveis totais= " + std::to_string(total),
        "Hibridos Falso preditos excluidos = " + std::to_string(removed),
        "Hibridos Reais preditos = " + std::to_string(predicted) });
}

} // namespace clitest
