// The scratch file system moved to tests/support/; this name stays for the window tests.
#include "../support/scratch_mount.h"
