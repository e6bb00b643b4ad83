// The temporary files being written, so that a program stopped by a signal can remove them on
// its way out instead of leaving large hidden files beside the user's.
#pragma once

#include <string>

namespace koravel {

// Up to eight at once; a path beyond that, or longer than 4095 bytes, is simply not kept.
void registerTemporaryFile(const std::string &path);
void forgetTemporaryFile(const std::string &path);

// Removes every registered file. Safe to call from a signal handler.
void removeTemporaryFiles() noexcept;

} // namespace koravel
