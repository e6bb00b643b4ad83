// placeholder
#include "report_document.h"
