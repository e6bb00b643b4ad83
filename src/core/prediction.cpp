// placeholder
#include "prediction.h"
