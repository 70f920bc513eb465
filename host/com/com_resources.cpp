#include "host/com/com_resources.h"

#include "host/host_error.h"
#include "ui/win32.h"

#include <objbase.h>

namespace host::com
{

ComApartment::ComApartment()
{
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(result))
        throw Error(static_cast<std::int32_t>(result), "CoInitializeEx", "the thread cannot enter an apartment");
}

ComApartment::~ComApartment()
{
    CoUninitialize();
}

} // namespace host::com
