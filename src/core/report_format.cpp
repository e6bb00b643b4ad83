// placeholder
#include "report_format.h"
