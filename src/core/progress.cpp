// placeholder
#include "progress.h"
