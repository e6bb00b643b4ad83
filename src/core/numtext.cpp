// placeholder
#include "numtext.h"
