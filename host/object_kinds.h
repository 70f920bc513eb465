// The kinds of host object, as the COM adapter's DISPID cache, simhost's member tables and stats, and the
// log of host calls name them. Every object of a kind answers one member table; a drawing is a document.
// Spelled here once, so that the simulated session and the COM adapter log a call under the same kind.
#pragma once

namespace host::kind
{

inline constexpr const char* kApplication = "application";
inline constexpr const char* kFrame = "frame";
inline constexpr const char* kDocument = "document";
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

} // namespace host::kind
