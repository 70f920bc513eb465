#include "host/com/com_connector.h"

namespace host::com
{

ApplicationPtr ComConnector::GetActiveObject(const std::wstring& /*progId*/)
{
    return nullptr;
}

} // namespace host::com
