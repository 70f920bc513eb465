#include "tools/simhost/command_line.h"

#include <cwchar>

namespace simhost
{

CommandLine ParseCommandLine(const std::vector<std::wstring>& args)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::wstring& arg = args[i];
        if (arg == L"--help" || arg == L"-h")
        {
            options.help = true;
            return {options, {}};
        }
        if (arg == L"--take-over")
        {
            options.takeOver = true;
            continue;
        }
        if (arg.rfind(L"--", 0) != 0)
        {
            if (!options.sessionPath.empty())
                return {std::nullopt, L"mehr als eine Sitzungsdatei angegeben: " + arg};
            options.sessionPath = arg;
            continue;
        }
        if (i + 1 >= args.size())
            return {std::nullopt, L"Option ohne Wert: " + arg};
        const std::wstring& value = args[++i];
        if (arg == L"--out")
            options.outPath = value;
        else if (arg == L"--ready")
            options.readyFile = value;
        else if (arg == L"--stop-file")
            options.stopFile = value;
        else if (arg == L"--stop-event")
            options.stopEvent = value;
        else if (arg == L"--idle")
        {
            wchar_t* end = nullptr;
            const long seconds = std::wcstol(value.c_str(), &end, 10);
            if (value.empty() || *end != L'\0' || seconds < 0 || seconds > 86400)
                return {std::nullopt, L"--idle erwartet Sekunden von 0 bis 86400: " + value};
            options.idleSeconds = static_cast<int>(seconds);
        }
        else
            return {std::nullopt, L"unbekannte Option: " + arg};
    }
    if (options.sessionPath.empty())
        return {std::nullopt, L"keine Sitzungsdatei angegeben"};
    if (options.outPath.empty())
        options.outPath = options.sessionPath;
    return {options, {}};
}

std::wstring Usage()
{
    return L"Aufruf: simhost SITZUNG.json [Optionen]\n"
           L"Stellt die simulierte CAD-Sitzung aus SITZUNG.json als COM-Automatisierungsserver unter der ProgID\n"
           L"\"SldWorks.Application\" in der Running Object Table bereit, bis ein Halt verlangt wird, und schreibt\n"
           L"die Sitzung dann mit \"stats\" zur\u00fcck (Aufrufe, Namensaufl\u00f6sungen je Objektart, Aufrufprotokoll "
           L"mit\n"
           L"den VARIANT-Typen der Argumente).\n"
           L"  --out DATEI          Sitzung nach dem Halt in DATEI schreiben statt in SITZUNG.json\n"
           L"  --ready DATEI        DATEI (Inhalt: Prozessnummer) anlegen, sobald die Sitzung bereitsteht\n"
           L"  --stop-file DATEI    anhalten, sobald DATEI existiert (eine alte DATEI wird beim Start entfernt)\n"
           L"  --stop-event NAME    anhalten, wenn das benannte Ereignis NAME gesetzt wird\n"
           L"                       (Vorgabe: GlattmarkSimHostStop)\n"
           L"  --idle SEKUNDEN      anhalten, wenn so lange kein Aufruf kam (Vorgabe: 60; 0: nie)\n"
           L"  --take-over          auch dann bereitstellen, wenn HKLM die ProgID einer anderen Klasse zuordnet\n"
           L"Beim Halt: Eintrag in der Running Object Table zur\u00fcckziehen, alle Objekte von den Clients trennen,\n"
           L"Sitzung schreiben, die eigene Registrierung der ProgID (HKCU und HKLM\\Software\\Classes) entfernen,\n"
           L"beenden.\n"
           L"Exit-Status: 0 Sitzung geschrieben; 1 COM-Fehler oder Sitzung nicht schreibbar;\n"
           L"2 Aufruf oder Sitzungsdatei unbrauchbar; 3 die ProgID geh\u00f6rt einer anderen Klasse (ohne "
           L"--take-over).\n";
}

} // namespace simhost
