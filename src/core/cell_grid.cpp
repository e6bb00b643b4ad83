// placeholder
#include "cell_grid.h"
