// koravel-cli --version: the version CMake gives the project, on standard output.
#include <algorithm>
#include <string>
#include <vector>

#include "cli_runner.h"

using namespace clitest;

TEST(CliVersion, PrintsTheProjectVersionWhateverElseIsGiven)
{
    const std::string version = KORAVEL_PROJECT_VERSION;
    // Three numbers joined by points, as project(VERSION) writes them.
    const bool threeNumbers = std::count(version.begin(), version.end(), '.') == 2
        && version.find_first_not_of("0123456789.") == std::string::npos && version.front() != '.'
        && version.back() != '.' && version.find("..") == std::string::npos;
    ASSERT_TRUE(threeNumbers) << version;
    const std::vector<std::vector<std::string>> rows = {
        { "--version" },
        // As with --help, the rest is not read: no file is opened, no usage error is raised.
        { "hd", "nao_existe.txt", "--version" },
        { "counts", "--version" },
    };
    for (const auto &arguments : rows) {
        SCOPED_TRACE(arguments.front());
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "koravel-cli " + version + "\n");
        EXPECT_EQ(run.err, "");
    }
}

TEST(CliVersion, AStandardOutputThatCannotBeWrittenIsAnError)
{
    const CliRun run = runCli({ "--version" }, "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Stream write error.\n");
}

TEST(CliVersion, HelpAndUsageNameTheOption)
{
    EXPECT_NE(runCli({ "--help" }).out.find("--version"), std::string::npos);
    EXPECT_NE(runCli({ "--lines" }).err.find("koravel-cli --version"), std::string::npos);
}
