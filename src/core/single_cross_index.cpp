// placeholder
#include "single_cross_index.h"
