// The kinds of host object, as the COM adapter's DISPID cache, simhost's member tables and stats, and the
// log of host calls name them. Every object of a kind answers one member table; a drawing, a part and an
// assembly answer the document members, each under numbers of its own. Spelled here once, so that simhost
// serves what the adapter calls, and the simulated session and the adapter log a call, under the same names.
#pragma once

#include "host/cad_host.h"

#include <cstdint>

namespace host::kind
{

inline constexpr const char* kApplication = "application";
inline constexpr const char* kFrame = "frame";
/// A document whose type is not known yet: only GetType is called under this kind.
inline constexpr const char* kDocument = "document";
inline constexpr const char* kDrawing = "drawing";
inline constexpr const char* kPart = "part";
inline constexpr const char* kAssembly = "assembly";
inline constexpr const char* kSheet = "sheet";
inline constexpr const char* kView = "view";
inline constexpr const char* kSymbol = "sfSymbol";
inline constexpr const char* kAnnotation = "annotation";
inline constexpr const char* kNote = "note";
inline constexpr const char* kTextFormat = "textFormat";
inline constexpr const char* kExtension = "extension";
inline constexpr const char* kSelectionManager = "selectionManager";
inline constexpr const char* kPropertyManager = "customPropertyManager";
inline constexpr const char* kFeatureManager = "featureManager";

/// The kind a document's members are called under once its type (Document::GetType) is known; GetType
/// itself, which every document answers alike, stays under kDocument.
inline const char* OfDocument(std::int32_t type)
{
    switch (type)
    {
    case host::kPart:
        return kPart;
    case host::kAssembly:
        return kAssembly;
    case host::kDrawing:
        return kDrawing;
    default:
        return kDocument;
    }
}

} // namespace host::kind
