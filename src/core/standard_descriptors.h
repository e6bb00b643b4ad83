// Standard input, output and error kept taken for the whole run, even when the program was
// started with some of them closed.
#pragma once

namespace koravel {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that no file the program
// opens later takes its number and receives what is meant for the terminal ("2>&-" would
// otherwise put the messages inside the report); on Windows they are also put in binary mode.
// Call first thing in main().
void reserveStandardDescriptors() noexcept;

} // namespace koravel
