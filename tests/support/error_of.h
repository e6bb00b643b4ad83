// The message of the koravel::Error that a call raises, for tests that compare messages.
#pragma once

#include <string>

#include "numtext/error.h"

// errorOf([] { koravel::strToInt("x"); }) -> "'x' is not a valid integer value"
// A call that raises nothing gives "no error".
template <class Call> std::string errorOf(Call call)
{
    try {
        call();
    } catch (const koravel::Error &error) {
        return error.message();
    }
    return "no error";
}
