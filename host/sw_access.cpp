#include "host/sw_access.h"
