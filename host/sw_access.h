// The program's access to the running CAD session and its documents.
#pragma once

#include "host/cad_host.h"
#include "host/session_connector.h"

#include <cstdint>
#include <string>

namespace ui
{
class ErrorObject;
}

namespace host
{

/// ProgID of the CAD host's automation server.
inline constexpr const wchar_t* kProgId = L"SldWorks.Application";

/// Holds the references to the host application and its documents. Errors are recorded in the error
/// object; nothing here throws of its own (a failing host call after attaching passes to the caller).
class swAccess
{
public:
    swAccess(ui::ErrorObject& cc, SessionConnector& connector) : m_cc(cc), m_connector(connector) {}

    ApplicationPtr swApp;
    DocumentPtr ActiveDoc;
    DocumentPtr Model;
    DrawingPtr Drawing;
    DocumentPtr PropDoc;

    /// Locks (true) or unlocks (false) the feature tree of Model; unlocking works with an error pending.
    void LockUI(bool lockEnabled);
    /// Takes the active document without requiring a type.
    void GetDocsQ();
    /// Requires the active document to be a drawing.
    void GetDrawing(bool getModel);
    /// Requires a part (mustBe 1), an assembly (2) or either (any other value).
    void GetModel(std::int32_t mustBe);
    /// Uses swAppIn, or attaches to the running session when it is nothing.
    void Link(const ApplicationPtr& swAppIn);
    void UnLink();
    /// Writes a text custom property of modelDoc (ActiveDoc when nothing; the caller's pointer receives it).
    void SetPropStr(const std::wstring& property, const std::wstring& value, const std::wstring& config,
                    DocumentPtr& modelDoc);
    /// The resolved value of a custom property of modelDoc (PropDoc when nothing), falling back to the
    /// document's own properties; "FROMPARENT+..." reads as "### Leer".
    std::wstring GetPropStr(const std::wstring& property, const std::wstring& config, const DocumentPtr& modelDoc);
    /// A custom property as a number ("," or "." decimal); defaultVal when it is empty.
    double GetPropVal(const std::wstring& property, const std::wstring& config, double defaultVal,
                      DocumentPtr& modelDoc);

private:
    /// Takes the active document as ActiveDoc and PropDoc and forgets Model and Drawing. False when an
    /// error is pending, or when there is no document (eNoDoc is then recorded).
    bool TakeActiveDoc();
    DocumentPtr OpenRefModel(const DrawingPtr& drawingDoc);

    ui::ErrorObject& m_cc;
    SessionConnector& m_connector;
};

} // namespace host
