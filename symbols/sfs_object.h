// The record of one surface-finish symbol: its texts and attributes as the host holds them, the host
// symbol it came from, and the layout values the summary calculation adds.
#pragma once

#include "host/cad_host.h"

#include <cstdint>
#include <string>

namespace symbols
{

class sfsObject
{
public:
    // Fields in their declared order. Widths and positions are metres.
    std::wstring maxRoughStr;   ///< text 4: roughness value as written (6,3); the sort key
    std::wstring methodeStr;    ///< text 2: production method
    double xWidth = 0;          ///< room from the insertion point to the right
    double xOffset = 0;         ///< room left of the insertion point
    double maxRougWidth = 0;    ///< reserved; never set or read
    std::int32_t sfsType = 0;   ///< 0 "Grundlegend", 1 "Spanend", 2 "Roh"; other host kinds carried as they are
    std::wstring maxRoughName;  ///< text 3: roughness parameter (Ra); empty for kind 2 in the summary
    std::wstring roughSpacing;  ///< text 7
    std::wstring matTolerance;  ///< text 1
    std::wstring minR;          ///< text 6: lower limit
    std::wstring maxR;          ///< text 5: upper limit
    std::int32_t direction = 0; ///< direction-of-lay code; 0 none
    std::wstring rv1;           ///< text 8
    host::OptionalText rv2;     ///< text 9 as the host returned it; empty equals ""
    std::wstring rv3;           ///< text 10
    double X = 0;               ///< insertion point x on the sheet
    double y = 0;               ///< insertion point y on the sheet
    std::wstring Name;          ///< annotation name, or the name the program gives the record
    bool allRound = false;      ///< all-around marker
    host::SFSymbolPtr obj;      ///< the host symbol this record was read from; nothing for the summary

    /// Fills the record from a host symbol (host calls in a fixed order; failures pass to the caller).
    void LoadFromSWX(const host::SFSymbolPtr& sfsHandle);
    /// Copies Source's texts, attributes, host symbol and name; a non-empty newName replaces the name.
    /// Layout values stay this record's own.
    void CopyFrom(const sfsObject& source, const std::wstring& newName);
    /// txt without any "(" or ")".
    static std::wstring rx(const std::wstring& txt);
    /// checkOnlyValues false: identity test, 0 when the thirteen texts and attributes are equal, else 1.
    /// checkOnlyValues true: ordering test, 1 when this record's roughness ranks above TestSFS's.
    /// The ordering test reads roughness under the given regional decimal separator.
    std::int32_t Compare(const sfsObject& testSFS, bool checkOnlyValues, wchar_t decimalSeparator = L',') const;
};

} // namespace symbols
