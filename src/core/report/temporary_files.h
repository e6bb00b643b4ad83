// The temporary files being written, so that a program stopped by a signal can remove them on
// its way out instead of leaving large hidden files beside the user's.
#pragma once

#include <string>

namespace koravel {

// The name of a temporary file that will replace the file called name: short whatever the
// name's length, so that any name the file system takes still gets one, and carrying the
// process that writes it, so that a later run can tell one left by a killed run.
//   temporaryFileName("rep.txt", 4242, 17) -> ".rep.txt.4242.17.tmp"
//   a name of 250 bytes                   -> "." + its first 32 bytes + ".4242.17.tmp"
std::string temporaryFileName(const std::string &name, long pid, unsigned long random);

// Removes the temporary files for the file called name in folder that a run killed outright
// (SIGKILL, a power cut) left behind: only regular files of this user whose process is gone.
void removeStaleTemporaryFiles(const std::string &folder, const std::string &name);

// Up to eight at once; a path beyond that, or longer than 4095 bytes, is simply not kept.
void registerTemporaryFile(const std::string &path);
void forgetTemporaryFile(const std::string &path);

// Removes every registered file. Safe to call from a signal handler.
void removeTemporaryFiles() noexcept;

} // namespace koravel
