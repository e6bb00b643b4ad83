// placeholder
#include "report_file.h"
