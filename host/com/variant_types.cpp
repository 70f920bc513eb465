#include "host/com/variant_types.h"

#include <map>

namespace host::com
{

std::string TypeName(VARTYPE type)
{
    static const std::map<VARTYPE, const char*> kNames = {
        {VT_EMPTY, "VT_EMPTY"},     {VT_NULL, "VT_NULL"},
        {VT_I2, "VT_I2"},           {VT_I4, "VT_I4"},
        {VT_R4, "VT_R4"},           {VT_R8, "VT_R8"},
        {VT_CY, "VT_CY"},           {VT_DATE, "VT_DATE"},
        {VT_BSTR, "VT_BSTR"},       {VT_DISPATCH, "VT_DISPATCH"},
        {VT_ERROR, "VT_ERROR"},     {VT_BOOL, "VT_BOOL"},
        {VT_VARIANT, "VT_VARIANT"}, {VT_UNKNOWN, "VT_UNKNOWN"},
        {VT_DECIMAL, "VT_DECIMAL"}, {VT_I1, "VT_I1"},
        {VT_UI1, "VT_UI1"},         {VT_UI2, "VT_UI2"},
        {VT_UI4, "VT_UI4"},         {VT_I8, "VT_I8"},
        {VT_UI8, "VT_UI8"},         {VT_INT, "VT_INT"},
        {VT_UINT, "VT_UINT"},
    };
    std::string name;
    if ((type & VT_BYREF) != 0)
        name += "VT_BYREF|";
    if ((type & VT_ARRAY) != 0)
        name += "VT_ARRAY|";
    const VARTYPE base = type & VT_TYPEMASK;
    const auto found = kNames.find(base);
    name += found != kNames.end() ? found->second : "VT_" + std::to_string(base);
    return name;
}

std::string ArgumentType(const VARIANT& v)
{
    std::string type = TypeName(v.vt);
    if ((v.vt == VT_DISPATCH && !v.pdispVal) || (v.vt == VT_UNKNOWN && !v.punkVal) ||
        (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal && !*v.ppdispVal))
        type.append(" null");
    if (v.vt == VT_BOOL && v.boolVal != VARIANT_TRUE && v.boolVal != VARIANT_FALSE)
        type.append(" ").append(std::to_string(v.boolVal));
    return type;
}

} // namespace host::com
