// Runs the built koravel-cli with its standard output and error captured, for the tests.
#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "fixtures.h"

namespace clitest {

using namespace koravel::test;

struct CliRun
{
    int status = -1; // the exit status; a crash shows as -1
    std::string out;
    std::string err;
};

#ifdef _WIN32
// Quoted for cmd.exe, which passes "..." through whole (no argument of the tests holds a quote).
inline std::string quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

// Runs koravel-cli with the arguments through cmd.exe, reading nothing; the decimal point comes
// from the regional setting, "." for the English one that the test run gives Wine. Standard
// output goes to a file read back into out, or to the file given as stdoutFile.
inline CliRun runCli(const std::vector<std::string> &arguments, const std::string &stdoutFile = "")
{
    TempDir capture;
    const std::string out = stdoutFile.empty() ? capture / "out" : stdoutFile;
    std::string command = quoted(KORAVEL_CLI_PATH);
    for (const std::string &argument : arguments)
        command += " " + quoted(argument);
    command += " <NUL >" + quoted(out) + " 2>" + quoted(capture / "err");
    // cmd /c takes the outer quotes off; the arguments are UTF-8 and go through the wide call.
    const std::u8string utf8(reinterpret_cast<const char8_t *>(command.data()), command.size());
    const int status = ::_wsystem(std::filesystem::path(u8"\"" + utf8 + u8"\"").c_str());
    CliRun run;
    run.status = status >= 0 && status < 256 ? status : -1;
    run.out = stdoutFile.empty() ? readBytes(out) : "";
    run.err = readBytes(capture / "err");
    return run;
}
#else
// Quoted for the shell: 'it'\''s'.
inline std::string quoted(const std::string &text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// Runs koravel-cli with the arguments under the "C" locale (decimal point), reading nothing.
// Standard output goes to a file read back into out, or to the file given as stdoutFile.
inline CliRun runCli(const std::vector<std::string> &arguments, const std::string &stdoutFile = "")
{
    TempDir capture;
    const std::string out = stdoutFile.empty() ? capture / "out" : stdoutFile;
    std::string command = "LC_ALL=C " + quoted(KORAVEL_CLI_PATH);
    for (const std::string &argument : arguments)
        command += " " + quoted(argument);
    command += " </dev/null >" + quoted(out) + " 2>" + quoted(capture / "err");
    const int status = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = stdoutFile.empty() ? readBytes(out) : "";
    run.err = readBytes(capture / "err");
    return run;
}

#endif

} // namespace clitest
