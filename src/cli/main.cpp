// koravel-cli: the import and the predictions of the main window, run from the command line.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli_options.h"
#include "commands.h"
#include "koravel_version.h"
#include "numtext/error.h"
#include "platform/system.h"
#include "report_output.h"
#include "standard_descriptors.h"
#include "terminal_messages.h"

int main(int argc, char **argv)
{
    koravel::reserveStandardDescriptors();
    using namespace koravel::cli;
    const std::vector<std::string> texts = koravel::platform::arguments(argc, argv);
    const std::vector<std::string_view> arguments(texts.begin(), texts.end());
    Options options;
    try {
        options = parseOptions(arguments);
    } catch (const UsageError &error) {
        printLine(std::string("koravel-cli: ") + error.what());
        writeText(stderr, usageText());
        return 2;
    }
    removeTemporariesOnInterruption();
    switch (options.command) {
    case Command::Help:
        writeText(stdout, helpText());
        return 0;
    case Command::Version: {
        const std::string text = "koravel-cli " + std::string(koravel::kVersion) + "\n";
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()
            && std::fflush(stdout) == 0)
            return 0;
        printError(koravel::kStreamWriteError);
        return 1;
    }
    case Command::Counts:
        return runCounts(options);
    case Command::Diallel:
        return runDiallel(options);
    case Command::DoubleCrosses:
    case Command::ThreeWayCrosses:
        break;
    }
    return runPrediction(options);
}
