// The symbols of the current sheet, as the scan gathered them: the distinct ones, their repeats and
// the program's own earlier output.
#pragma once

#include "symbols/sfs_object.h"

#include <array>
#include <cstdint>
#include <string>

namespace symbols
{

/// Capacity of the symbol lists: indices 0 to 200.
inline constexpr std::int32_t kListCapacity = 201;
/// The highest index of a distinct symbol in sfsList (element 0 is the summary record).
inline constexpr std::int32_t kMaxDistinct = 200;

struct SymbolList
{
    std::array<sfsObject, kListCapacity> sfsList; ///< [0] summary record, [1..sfsCount] distinct symbols
    std::int32_t sfsCount = 0;
    std::array<sfsObject, kListCapacity> sfsDupList; ///< [0..sfsDupCount-1] further occurrences
    std::int32_t sfsDupCount = 0;
    std::array<host::SFSymbolPtr, kListCapacity> ownSymbols; ///< [0..ownSymbolCount-1] earlier output
    std::int32_t ownSymbolCount = 0;
    std::wstring sheetName;
    std::int32_t formatIndex = -1; ///< index into the configured formats, -1 when none matches

    /// Drops every reference to a host symbol (the records' and the earlier output's); the texts stay.
    void ReleaseHostSymbols()
    {
        for (auto& record : sfsList)
            record.obj.reset();
        for (auto& record : sfsDupList)
            record.obj.reset();
        for (auto& symbol : ownSymbols)
            symbol.reset();
    }
};

} // namespace symbols
