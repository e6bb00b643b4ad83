// Runs the built koravel-cli with its standard output and error captured, for the tests.
#pragma once

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "fixtures.h"

namespace clitest {

using namespace koravel::test;

struct CliRun
{
    int status = -1; // the exit status; a crash shows as -1
    std::string out;
    std::string err;
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

} // namespace clitest
