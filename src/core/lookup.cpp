// placeholder
#include "lookup.h"
