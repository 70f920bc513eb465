// The kinds of host object, as the adapter's DISPID cache and simhost's member tables and stats name them.
// Every object of a kind answers one member table; a drawing, a part and an assembly answer the document
// members, each under numbers of its own. Spelled here once: simhost serves
// what the adapter calls under the same names.
#pragma once

namespace host::com
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

} // namespace host::com
