// placeholder
#include "counts.h"
