#include "ui/conversions.h"
