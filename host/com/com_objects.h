// The host objects of host/cad_host.h over IDispatch: one adapter per class, each calling its members by
// name with the argument types the typed interface gives (int16_t VT_I2, int32_t VT_I4, double VT_R8,
// bool VT_BOOL, text VT_BSTR, no text VT_EMPTY, no callout a null VT_DISPATCH, out values and the
// by-reference pick point VT_BYREF). Every object the host answers is wrapped again, sharing the
// connection's DISPID cache.
#pragma once

#include "host/cad_host.h"
#include "host/com/dispatch.h"

#include <memory>

namespace host::com
{

/// The application object, its member names looked up through cache; nothing for a null application.
host::ApplicationPtr MakeApplication(ComPtr<IDispatch> application, std::shared_ptr<DispIdCache> cache);

} // namespace host::com
