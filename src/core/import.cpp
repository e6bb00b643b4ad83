// placeholder
#include "import.h"
