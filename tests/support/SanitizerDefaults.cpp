#include "tools/SanitizerDefaults.h"
