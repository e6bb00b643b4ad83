// placeholder
#include "data_file.h"
