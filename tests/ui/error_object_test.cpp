#include "ui/error_object.h"
