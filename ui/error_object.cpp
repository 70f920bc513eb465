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
    m_window.ShowModeless(m_caption, m_icon, m_label, *this);
    if (modal)
        m_window.ShowModal();
}

void ErrorObject::Command1_Click()
{
    QResult = 1;
}

void ErrorObject::Form_Unload()
{
    m_caption = kDesignCaption;
    m_icon.reset();
}

void ErrorObject::ShowForm(Form& uForm, bool modal, HostWindowSource& host, Platform& platform)
{
    // The host's own executable tells whether it is a 64-bit program, which only then takes an owner
    // window from another process.
    const std::int32_t binaryType = platform.BinaryType(host.GetExecutablePath() + L"\\sldworks.exe");
    uForm.Show(false);
    const std::intptr_t window = platform.FindWindowByCaption(uForm.Caption());
    const std::intptr_t hostWindow = host.MainWindowHandle();
    if (binaryType == kBinaryType64Bit)
        platform.SetOwnerWindow(window, hostWindow);
    if (window != 0)
        SetTopMost(platform, window);
    if (modal)
    {
        uForm.Hide();
        uForm.Show(true);
    }
}

} // namespace ui
