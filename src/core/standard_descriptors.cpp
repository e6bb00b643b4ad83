// Start-up guard of both programs: descriptors 0 to 2 never left free.
#include "standard_descriptors.h"

#include "platform/system.h"

namespace koravel {

void reserveStandardDescriptors() noexcept
{
    platform::prepareStandardStreams();
}

} // namespace koravel
