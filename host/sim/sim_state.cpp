#include "host/sim/sim_state.h"

#include "host/host_error.h"
#include "host/sim/session_file.h"
#include "ui/conversions.h"

#include <algorithm>
#include <set>

namespace host::sim
{

namespace
{

template <typename F> void ForEachAnnotation(SheetModel& sheet, F&& f)
{
    for (auto& symbol : sheet.symbols)
        f(symbol.id);
    for (auto& note : sheet.notes)
        f(note.id);
    for (auto& view : sheet.views)
    {
        for (auto& symbol : view.symbols)
            f(symbol.id);
        for (auto& note : view.notes)
            f(note.id);
    }
}

std::string Where(const std::string& what)
{
    return "simulated session: " + what;
}

} // namespace

SimState::SimState(SessionModel model) : m_model(std::move(model))
{
    const auto documentCount = m_model.documents.size();
    if (m_model.activeDocument && *m_model.activeDocument >= documentCount)
        throw SessionFileError("activeDocument: kein Dokument " + std::to_string(*m_model.activeDocument) +
                               " (die Sitzung hat " + std::to_string(documentCount) + ")");
    for (std::size_t d = 0; d < documentCount; ++d)
    {
        const auto& document = m_model.documents[d];
        const auto where = "documents[" + std::to_string(d) + "]";
        if (document.type == host::kDrawing && !document.currentSheet.empty() &&
            FindSheet(document, document.currentSheet) == nullptr)
            throw SessionFileError(where + ".currentSheet: kein Blatt namens \"" + ui::ToUtf8(document.currentSheet) +
                                   "\"");
        for (const auto& entry : document.selection)
        {
            const bool sheetOk = entry.sheet < document.sheets.size();
            const bool viewOk = entry.kind != SelectedKind::kView ||
                                (sheetOk && entry.view < document.sheets[entry.sheet].views.size());
            if (!sheetOk || !viewOk)
                throw SessionFileError(where +
                                       ".selection: ein Eintrag nennt ein Blatt oder eine Ansicht, die es nicht gibt");
        }
    }
    AssignIds();
}

void SimState::AssignIds()
{
    std::set<AnnotationId> seen;
    for (auto& document : m_model.documents)
        for (auto& sheet : document.sheets)
            ForEachAnnotation(sheet, [&](AnnotationId& id) {
                if (id != 0 && !seen.insert(id).second)
                    throw SessionFileError("eine Anmerkungskennung kommt zweimal vor");
                m_lastId = std::max(m_lastId, id);
            });
    for (auto& document : m_model.documents)
        for (auto& sheet : document.sheets)
            ForEachAnnotation(sheet, [&](AnnotationId& id) {
                if (id == 0)
                    id = NewId();
            });
}

SimCall SimState::Enter(const char* object, const std::string& member, std::initializer_list<const char*> args)
{
    std::optional<host::HostCall> record;
    if (m_observer)
    {
        if (m_lookedUp.insert({object, member}).second)
        {
            host::HostCall lookup{object, member, true};
            lookup.started = std::chrono::steady_clock::now();
            Report(lookup, false);
        }
        record.emplace(host::HostCall{object, member});
        record->args.assign(args.begin(), args.end());
        record->started = std::chrono::steady_clock::now();
    }
    m_member = member;
    m_failure.reset();
    bool nothing = false;
    try
    {
        // A call a busy host refuses did nothing and is not counted; the log has it all the same.
        for (const auto& fault : m_model.faults)
        {
            if (fault.effect == FaultEffect::kBusy && m_totalCalls >= fault.afterCalls && fault.seconds >= m_busyLimit)
                Fail(host::kCallRejected, "the host is busy and refuses the call");
        }
        ++m_totalCalls;
        const auto count = ++m_callsByMember[member];
        for (const auto& fault : m_model.faults)
        {
            switch (fault.effect)
            {
            case FaultEffect::kDisconnect:
                if (m_totalCalls > fault.afterCalls)
                    Fail(host::kRpcDisconnected, "the host has gone away");
                break;
            case FaultEffect::kError:
                if (fault.member == member && fault.occurrence == count)
                    Fail(host::kDispException, "injected failure of call " + std::to_string(count));
                break;
            case FaultEffect::kNothing:
                if (fault.member == member && fault.occurrence == count)
                    nothing = true;
                break;
            case FaultEffect::kBusy:
            case FaultEffect::kHang:
                // Time the simulated session does not have: a call that takes long still returns.
                break;
            }
        }
    }
    catch (...)
    {
        if (record)
            Report(*record, true);
        throw;
    }
    return SimCall(*this, nothing, std::move(record));
}

void SimState::Fail(std::int32_t code, const std::string& detail)
{
    m_failure.emplace(code, m_member, Where(detail));
    throw *m_failure;
}

void SimState::Report(host::HostCall& call, bool failed) noexcept
{
    if (!m_observer)
        return;
    try
    {
        call.duration = std::chrono::steady_clock::now() - call.started;
        if (failed)
        {
            // What COM would answer: a failure the session raised carries its code, and a description only
            // where the host raises an exception (DISP_E_EXCEPTION); anything else is unexpected.
            constexpr std::int32_t kUnexpected = static_cast<std::int32_t>(0x8000FFFFu); // E_UNEXPECTED
            call.hr = m_failure ? m_failure->Code() : kUnexpected;
            if (m_failure && m_failure->Code() == host::kDispException)
                call.text = m_failure->what();
        }
        m_failure.reset();
        m_observer->HostCalled(call);
    }
    catch (...)
    {
        // The log is no part of the call: a record that cannot be made is left out.
    }
}

SimCall::~SimCall()
{
    if (m_record)
        m_state.Report(*m_record, std::uncaught_exceptions() > m_exceptions);
}

DocumentModel& SimState::Document(std::size_t index)
{
    if (index >= m_model.documents.size())
        Fail(host::kDispException, "the document is no longer open");
    return m_model.documents[index];
}

std::optional<Located> SimState::Locate(AnnotationId id)
{
    for (std::size_t d = 0; d < m_model.documents.size(); ++d)
    {
        auto& document = m_model.documents[d];
        for (std::size_t s = 0; s < document.sheets.size(); ++s)
        {
            auto& sheet = document.sheets[s];
            Located at{d, s, std::nullopt, &document, &sheet, nullptr, nullptr};
            auto search = [&](auto& symbols, auto& notes) {
                for (auto& symbol : symbols)
                    if (symbol.id == id)
                    {
                        at.symbol = &symbol;
                        return true;
                    }
                for (auto& note : notes)
                    if (note.id == id)
                    {
                        at.note = &note;
                        return true;
                    }
                return false;
            };
            if (search(sheet.symbols, sheet.notes))
                return at;
            for (std::size_t v = 0; v < sheet.views.size(); ++v)
            {
                at.viewIndex = v;
                if (search(sheet.views[v].symbols, sheet.views[v].notes))
                    return at;
            }
        }
    }
    return std::nullopt;
}

Located SimState::LocateOrFail(AnnotationId id)
{
    auto at = Locate(id);
    if (!at)
        Fail(host::kDispException, "the annotation has been deleted");
    return *at;
}

bool SimState::NameTaken(const SheetModel& sheet, std::wstring_view name, AnnotationId except) const
{
    bool taken = false;
    auto check = [&](const auto& items) {
        for (const auto& item : items)
            if (item.id != except && item.name == name)
                taken = true;
    };
    check(sheet.symbols);
    check(sheet.notes);
    for (const auto& view : sheet.views)
    {
        check(view.symbols);
        check(view.notes);
    }
    return taken;
}

std::wstring SimState::DefaultName(const DocumentModel& document, std::wstring_view prefix) const
{
    std::uint64_t highest = 0;
    auto consider = [&](const std::wstring& name) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            return;
        std::uint64_t n = 0;
        for (auto i = prefix.size(); i < name.size(); ++i)
        {
            if (name[i] < L'0' || name[i] > L'9' || n > 1'000'000'000'000ULL)
                return;
            n = n * 10 + static_cast<std::uint64_t>(name[i] - L'0');
        }
        highest = std::max(highest, n);
    };
    for (const auto& sheet : document.sheets)
    {
        for (const auto* symbol : AllSymbols(sheet))
            consider(symbol->name);
        for (const auto* note : AllNotes(sheet))
            consider(note->name);
    }
    return std::wstring(prefix) + std::to_wstring(highest + 1);
}

bool SimState::Toggle(std::int32_t id) const
{
    const auto it = m_model.application.toggles.find(id);
    return it != m_model.application.toggles.end() && it->second;
}

void SimState::SetToggle(std::int32_t id, bool on)
{
    m_model.application.toggles[id] = on;
}

} // namespace host::sim
