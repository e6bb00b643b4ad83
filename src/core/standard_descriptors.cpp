// Start-up guard of both programs: descriptors 0 to 2 never left free.
#include "standard_descriptors.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace koravel {

void reserveStandardDescriptors() noexcept
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number, which is this one.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

} // namespace koravel
