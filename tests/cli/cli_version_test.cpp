// koravel-cli --version: the version CMake gives the project, on standard output.
#include <regex>
#include <string>
#include <vector>

#include "cli_runner.h"

using namespace clitest;

TEST(CliVersion, PrintsTheProjectVersionWhateverElseIsGiven)
{
    const std::string version = KORAVEL_PROJECT_VERSION;
    ASSERT_TRUE(std::regex_match(version, std::regex(R"(\d+\.\d+\.\d+)"))) << version;
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
