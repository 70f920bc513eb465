#include "ui/error_object.h"

namespace ui
{

ErrorObject::ErrorObject(MessageWindow& window) : m_window(window) {}

void ErrorObject::SetErr(const std::wstring& descr, std::int32_t code)
{
    m_errCode = code;
    m_errDescr = descr;
}

void ErrorObject::Clear()
{
    m_errCode = kNoError;
    m_errDescr.clear();
}

void ErrorObject::Init(const std::wstring& title, const IconId& iconIn, bool clearErr)
{
    if (clearErr)
        Clear();
    if (!title.empty())
        m_caption = title;
    if (iconIn)
        m_icon = iconIn;
}

void ErrorObject::DisplayError()
{
    if (m_errCode == kNoError || m_errCode == kHiddenError)
        return;
    m_label = m_errDescr;
    Show2(true);
}

void ErrorObject::Show2(bool modal)
{
    m_window.ShowModeless(m_caption, m_icon, m_label);
    if (!modal)
        return;
    if (m_window.ShowModal() == ClosedBy::OkButton)
    {
        QResult = 1;
        return;
    }
    // The close box unloads the window: a later showing starts from the design values again.
    m_caption = kDesignCaption;
    m_icon.reset();
}

} // namespace ui
