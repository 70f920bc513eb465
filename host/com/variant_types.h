// The VARIANT type of an argument in words ("VT_I2", "VT_BYREF|VT_R8", "VT_DISPATCH null"), as the log of
// host calls and simhost's call log write it (host::vt names the ones the program sends).
#pragma once

#include "host/com/com_resources.h"

#include <string>

namespace host::com
{

/// The name of a VARIANT type: the base type's, after "VT_BYREF|" and "VT_ARRAY|" where they are set.
std::string TypeName(VARTYPE type);

/// The type of an argument. An object reference that holds no object says so (" null"), and so does a
/// boolean other than VARIANT_TRUE (-1) and VARIANT_FALSE, which a host may take for either (" 1").
std::string ArgumentType(const VARIANT& v);

} // namespace host::com
