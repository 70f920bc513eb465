// The CAD host's automation objects, as this program calls them.
//
// One abstract class per host object, members named as the host names them. The Windows adapter
// (host/com) calls them by name through IDispatch; the simulated session (host/sim) implements them on
// an in-memory drawing. References are shared pointers; "nothing" is a null pointer; a failing call
// throws host::Error. Lengths and coordinates are metres, angles radians, text UTF-16.
//
// Integer parameters carry the width the calling code passes (16-bit where the program passes a
// 16-bit value, which the host widens); parameters the host declares as double are double even where
// a literal 0 is passed, because the real host rejects an integer in a double slot.
#pragma once

#include "host/host_error.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host
{

class Application;
class Document;
class Drawing;
class Sheet;
class View;
class SFSymbol;
class Annotation;
class Note;
class TextFormat;
class Extension;
class SelectionManager;
class CustomPropertyManager;
class FeatureManager;
class Frame;
class Callout;

using ApplicationPtr = std::shared_ptr<Application>;
using DocumentPtr = std::shared_ptr<Document>;
using DrawingPtr = std::shared_ptr<Drawing>;
using SheetPtr = std::shared_ptr<Sheet>;
using ViewPtr = std::shared_ptr<View>;
using SFSymbolPtr = std::shared_ptr<SFSymbol>;
using AnnotationPtr = std::shared_ptr<Annotation>;
using NotePtr = std::shared_ptr<Note>;
using TextFormatPtr = std::shared_ptr<TextFormat>;
using ExtensionPtr = std::shared_ptr<Extension>;
using SelectionManagerPtr = std::shared_ptr<SelectionManager>;
using CustomPropertyManagerPtr = std::shared_ptr<CustomPropertyManager>;
using FeatureManagerPtr = std::shared_ptr<FeatureManager>;
using FramePtr = std::shared_ptr<Frame>;
using CalloutPtr = std::shared_ptr<Callout>;

/// A text slot that may hold no value at all (a VARIANT that is empty), as distinct from "".
using OptionalText = std::optional<std::wstring>;

/// Base of every host object: no copying, destroyed through the interface.
class HostObject
{
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    virtual ~HostObject() = default;
};

/// Document types returned by Document::GetType.
enum DocumentType : std::int32_t
{
    kPart = 1,
    kAssembly = 2,
    kDrawing = 3,
};

/// The application object of the running session (ProgID "SldWorks.Application").
class Application : public HostObject
{
public:
    /// The active document, or nothing when none is open.
    virtual DocumentPtr ActiveDoc() = 0;
    /// Opens (or returns, when already open) a document; nothing when the host opened nothing.
    virtual DocumentPtr OpenDoc6(const std::wstring& fileName, std::int32_t type, std::int32_t options,
                                 const std::wstring& configuration, std::int32_t& errors, std::int32_t& warnings) = 0;
    /// Full path of the running macro ("" for a caller that is not a macro).
    virtual std::wstring GetCurrentMacroPathName() = 0;
    /// Folder of the host's executable, without a trailing separator.
    virtual std::wstring GetExecutablePath() = 0;
    virtual FramePtr Frame() = 0;
    /// Sets a system option; toggle 24 is dynamic drawing-view activation.
    virtual void SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) = 0;
};

/// The host's main window frame.
class Frame : public HostObject
{
public:
    virtual std::int32_t GetHWnd() = 0;
};

/// A part, assembly or drawing document (IModelDoc2).
class Document : public HostObject
{
public:
    /// 1 part, 2 assembly, 3 drawing.
    virtual std::int32_t GetType() = 0;
    /// The document's file, "" for one never saved. Asked only for the log of host calls: a run without
    /// the log makes the host calls it always made.
    virtual std::wstring GetPathName() = 0;
    virtual FeatureManagerPtr FeatureManager() = 0;
    virtual ExtensionPtr Extension() = 0;
    /// Transient: fetch it again for each use.
    virtual SelectionManagerPtr SelectionManager() = 0;
    /// Deletes everything selected; true when something was deleted.
    virtual bool DeleteSelection(bool confirmFlag) = 0;
    /// Replaces the selection with the named object; the pick point (x, y, z) in sheet metres.
    virtual bool SelectByID(const std::wstring& selId, const std::wstring& selParams, double x, double y, double z) = 0;
    /// The same host member, SelectByID, with x and y passed by reference: the host is handed the caller's
    /// variables and may write to them. Through IDispatch the two forms differ in the arguments' types, and
    /// the program uses both. A host that takes the point by value answers as SelectByID and writes nothing.
    virtual bool SelectByIDRef(const std::wstring& selId, const std::wstring& selParams, double& x, double& y, double z)
    {
        return SelectByID(selId, selParams, x, y, z);
    }
    /// A free note near the selection; nothing when the host made none.
    virtual NotePtr InsertNote(const std::wstring& text) = 0;
    virtual bool GetUserPreferenceToggle(std::int16_t userPreferenceToggle) = 0;
    virtual bool SetUserPreferenceToggle(std::int16_t userPreferenceValue, bool onFlag) = 0;
    /// A copy of the document's text format n (0 notes, 5 surface-finish symbols).
    virtual TextFormatPtr GetUserPreferenceTextFormat(std::int16_t userPreferenceValue) = 0;
    virtual void EditRebuild() = 0;

    /// The same host object seen through its drawing members. On the real host every document answers
    /// them by name (and fails at the call when it is no drawing); callers ask GetType first.
    virtual DrawingPtr AsDrawing() = 0;
};

/// A drawing document (IDrawingDoc); it answers the document members too.
class Drawing : public Document
{
public:
    virtual SheetPtr GetCurrentSheet() = 0;
    /// The current sheet itself, as a view; GetNextView walks the drawing views of that sheet.
    virtual ViewPtr GetFirstView() = 0;
    virtual bool ActivateSheet(const std::wstring& name) = 0;
    /// The views of every sheet: one list per sheet, the sheet itself first (as a view, named like the
    /// sheet), then its drawing views. The order of the sheets is the host's own: the current sheet need
    /// not come first.
    virtual std::vector<std::vector<ViewPtr>> GetViews() = 0;
};

class Sheet : public HostObject
{
public:
    virtual std::wstring GetName() = 0;
    /// [0] paper size (12 user-defined), [1] template, [2]/[3] scale, [4] first angle, [5]/[6] width and
    /// height in metres.
    virtual std::vector<double> GetProperties() = 0;
};

class View : public HostObject
{
public:
    virtual ViewPtr GetNextView() = 0;
    virtual SFSymbolPtr GetFirstSFSymbol() = 0;
    /// Path of the model the view shows; "" for the sheet itself.
    virtual std::wstring GetReferencedModelName() = 0;
    /// The view's name; the sheet's name for the sheet itself.
    virtual std::wstring GetName() = 0;
};

/// A surface-finish symbol (ISFSymbol). Text slots: 1 machining allowance, 2 production method,
/// 3 sampling length (roughness name), 4 roughness value, 5 maximum, 6 minimum, 7 roughness spacing,
/// 8-10 further values.
class SFSymbol : public HostObject
{
public:
    virtual SFSymbolPtr GetNext() = 0;
    /// 0 basic, 1 material removal required, 2 material removal not permitted (other kinds pass through).
    virtual std::int32_t GetSymbolType() = 0;
    virtual OptionalText GetText(std::int16_t whichOne) = 0;
    virtual bool GetSymbolAllAround() = 0;
    virtual std::int32_t GetDirectionOfLay() = 0;
    virtual AnnotationPtr GetAnnotation() = 0;
    virtual bool SetSymbol(std::int32_t symbol, std::int16_t surfaceTexture, bool allAround) = 0;
    virtual bool SetText(std::int16_t whichOne, const OptionalText& text) = 0;
};

class Annotation : public HostObject
{
public:
    virtual std::wstring GetName() = 0;
    /// Refused (false, old name kept) when another annotation of the sheet bears the name.
    virtual bool SetName(const std::wstring& nameIn) = 0;
    /// A copy of the format that applies; only SetTextFormat changes the annotation.
    virtual TextFormatPtr GetTextFormat(std::int16_t index) = 0;
    virtual bool SetTextFormat(std::int16_t index, bool useDoc, const TextFormatPtr& textFormat) = 0;
    /// append false replaces the selection, true adds to it.
    virtual bool Select2(bool append, std::int16_t mark) = 0;
};

class Note : public HostObject
{
public:
    /// Rotation in radians.
    virtual void put_Angle(double radians) = 0;
    virtual bool SetBalloon(std::int16_t style, std::int16_t size) = 0;
    virtual TextFormatPtr GetTextFormat() = 0;
    /// textFormatType 0 applies the format as the note's own.
    virtual bool SetTextFormat(std::int16_t textFormatType, const TextFormatPtr& textFormat) = 0;
    virtual AnnotationPtr GetAnnotation() = 0;
};

class TextFormat : public HostObject
{
public:
    virtual std::wstring get_TypeFaceName() = 0;
    virtual void put_TypeFaceName(const std::wstring& name) = 0;
    /// Character height in metres.
    virtual double get_CharHeight() = 0;
    virtual void put_CharHeight(double metres) = 0;
    /// Character height in whole points.
    virtual std::int32_t get_CharHeightInPts() = 0;
    virtual void put_CharHeightInPts(std::int32_t points) = 0;
    virtual bool get_Bold() = 0;
    virtual void put_Bold(bool bold) = 0;
};

/// IModelDocExtension.
class Extension : public HostObject
{
public:
    /// Selects "name@sheet" of the given type ("NOTE", "SFSYMBOL", "SHEET"); append toggles an object
    /// that is already selected. The callout is always nothing here.
    virtual bool SelectByID(const std::wstring& name, const std::wstring& type, double x, double y, double z,
                            bool append, std::int16_t mark, const CalloutPtr& callout) = 0;
    /// A new symbol at the selected sheet point; nothing when nothing suitable is selected.
    virtual SFSymbolPtr InsertSurfaceFinishSymbol3(std::int32_t symType, std::int16_t leaderType, double locX,
                                                   double locY, double locZ, std::int32_t laySymbol,
                                                   std::int16_t arrowType, const std::wstring& machAllowance,
                                                   const std::wstring& otherVals, const std::wstring& prodMethod,
                                                   const std::wstring& sampleLen, const std::wstring& maxRoughness,
                                                   const std::wstring& minRoughness,
                                                   const std::wstring& roughnessSpacing) = 0;
    /// "" gives the document's own properties.
    virtual CustomPropertyManagerPtr CustomPropertyManager(const std::wstring& configName) = 0;
};

/// ISelectionMgr, used through its typed interface.
class SelectionManager : public HostObject
{
public:
    /// The mark that takes in every selection, whatever mark it was made with.
    static constexpr std::int32_t kAnyMark = -1;

    /// Number of objects selected with the given mark.
    virtual std::int32_t GetSelectedObjectCount2(std::int32_t mark) = 0;
    /// Deselects the objects at the given selection indices among those with the given mark; the
    /// indices run from 1 to GetSelectedObjectCount2(mark). Returns how many it deselected.
    virtual std::int32_t DeSelect2(const std::vector<std::int32_t>& atIndex, std::int32_t mark) = 0;
};

class CustomPropertyManager : public HostObject
{
public:
    /// fieldType 30 is text. 1 added, 0 not added, -1 already there.
    virtual std::int32_t Add2(const std::wstring& fieldName, std::int32_t fieldType,
                              const std::wstring& fieldValue) = 0;
    /// 0 set, 1 not set, -1 no such property.
    virtual std::int32_t Set(const std::wstring& fieldName, const std::wstring& fieldValue) = 0;
    virtual void Get2(const std::wstring& fieldName, std::wstring& valOut, std::wstring& resolvedValOut) = 0;
};

class FeatureManager : public HostObject
{
public:
    virtual void put_EnableFeatureTree(bool enable) = 0;
    virtual void put_EnableFeatureTreeWindow(bool enable) = 0;
};

/// Never created by this program; SelectByID's callout argument is always nothing.
class Callout : public HostObject
{
};

} // namespace host
