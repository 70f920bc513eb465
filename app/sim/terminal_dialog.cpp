#include "app/sim/terminal_dialog.h"

#include "ui/conversions.h"

#include <istream>
#include <ostream>
#include <string>

namespace app::sim
{

namespace
{

std::string U8(const std::wstring& text)
{
    return ui::ToUtf8(text);
}

/// One line of input without its line end; false at the end of the input.
bool ReadLine(std::istream& in, std::wstring& line)
{
    std::string bytes;
    if (!std::getline(in, bytes))
        return false;
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    line = ui::FromUtf8(bytes);
    return true;
}

std::string ListOf(const ComboBoxState& box)
{
    std::string list;
    for (const std::wstring& item : box.items)
        list += (list.empty() ? "" : " | ") + U8(item);
    return list.empty() ? "(leer)" : list;
}

void ShowState(const MainDialogState& state, std::ostream& out)
{
    out << "\n" << U8(state.caption) << "\n";
    out << "  Symbol:   " << U8(state.stdSFSSymbol.text) << "\n";
    out << "  " << U8(state.label3Caption) << ":  " << U8(state.stdSFSRough.text) << "\n";
    out << "  Methode:  " << U8(state.stdSFSMet.text) << "\n";
    if (state.cbNormFix.visible)
    {
        out << "  [" << (state.cbNormFix.value == 1 ? "x" : " ") << "] Normfix"
            << (state.cbNormFix.enabled ? "" : " (gesperrt)") << "\n";
    }
    out << "\n  s Symbolart w\u00e4hlen   r Rauheit   m Methode";
    if (state.cbNormFix.visible && state.cbNormFix.enabled)
        out << "   n Normfix umschalten";
    out << "\n  o Ok   a Abbruch   x Fenster schlie\u00dfen\n";
}

/// Asks for a new text of a combo box; false at the end of the input. Empty input keeps the text.
bool AskText(const std::string& prompt, const ComboBoxState& box, std::istream& in, std::ostream& out,
             std::optional<std::wstring>& answer)
{
    out << "  Liste: " << ListOf(box) << "\n  " << prompt << " (leer: unver\u00e4ndert): " << std::flush;
    std::wstring line;
    if (!ReadLine(in, line))
        return false;
    answer.reset();
    if (!line.empty())
        answer = line;
    return true;
}

} // namespace

void SimDialogView::ShowModeless(const MainDialogState& state, MainDialogEvents& /*events*/)
{
    if (!m_proposal)
        m_proposal = state;
    m_current = state;
}

void ApplyAnswers(frmMain& form, const SimOptions& options)
{
    if (options.kind)
        form.ChooseKind(*options.kind);
    if (options.typeKind)
        form.TypeKindText(*options.typeKind);
    if (options.method)
        form.SetMethodText(*options.method);
    if (options.rough)
        form.SetRoughText(*options.rough);
    if (options.normFix)
        form.SetNormFix(*options.normFix);
}

void LeaveDialog(frmMain& form, SimAnswer answer)
{
    switch (answer)
    {
    case SimAnswer::Ok:
        form.cmd_Ok_Click();
        break;
    case SimAnswer::Cancel:
        form.cmd_Cancel_Click();
        break;
    case SimAnswer::Close:
        form.Form_Unload();
        break;
    }
}

SimAnswer AskInTerminal(frmMain& form, std::istream& in, std::ostream& out)
{
    while (!form.Ended())
    {
        const MainDialogState& state = form.State();
        ShowState(state, out);
        out << "Auswahl: " << std::flush;
        std::wstring command;
        if (!ReadLine(in, command))
            return SimAnswer::Close;
        command = ui::Trim(command);

        if (command == L"o" || command == L"O")
            return SimAnswer::Ok;
        if (command == L"a" || command == L"A")
            return SimAnswer::Cancel;
        if (command == L"x" || command == L"X")
            return SimAnswer::Close;
        if (command == L"s" || command == L"S")
        {
            for (std::size_t i = 0; i < state.stdSFSSymbol.items.size(); ++i)
                out << "  " << i << " " << U8(state.stdSFSSymbol.items[i]) << "\n";
            out << "  Nummer: " << std::flush;
            std::wstring line;
            if (!ReadLine(in, line))
                return SimAnswer::Close;
            line = ui::Trim(line);
            if (line.size() == 1 && line[0] >= L'0' &&
                static_cast<std::size_t>(line[0] - L'0') < state.stdSFSSymbol.items.size())
                form.ChooseKind(line[0] - L'0');
            else
                out << "  Ung\u00fcltige Auswahl.\n";
            continue;
        }
        if (command == L"r" || command == L"R")
        {
            std::optional<std::wstring> text;
            if (!AskText("Rauheit", state.stdSFSRough, in, out, text))
                return SimAnswer::Close;
            if (text)
                form.SetRoughText(*text);
            continue;
        }
        if (command == L"m" || command == L"M")
        {
            std::optional<std::wstring> text;
            if (!AskText("Methode", state.stdSFSMet, in, out, text))
                return SimAnswer::Close;
            if (text)
                form.SetMethodText(*text);
            continue;
        }
        if ((command == L"n" || command == L"N") && state.cbNormFix.visible)
        {
            if (state.cbNormFix.enabled)
                form.SetNormFix(state.cbNormFix.value != 1);
            else
                out << "  Normfix ist f\u00fcr diesen Benutzer gesperrt.\n";
            continue;
        }
        out << "  Unbekannte Auswahl.\n";
    }
    return SimAnswer::Close;
}

} // namespace app::sim
