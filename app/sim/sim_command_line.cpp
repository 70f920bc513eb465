#include "app/sim/sim_command_line.h"

#include "ui/conversions.h"

#include <cstddef>

namespace app::sim
{

namespace
{

std::wstring Quoted(const std::string& arg)
{
    return L"\"" + ui::FromUtf8(arg) + L"\"";
}

/// Options that take a value; each fills one field.
enum class Valued
{
    Out,
    Ini,
    Transcript,
    Svg,
    Kind,
    TypeKind,
    Method,
    Rough,
    NormFix,
    User,
    Decimal,
    Log,
};

struct ValuedOption
{
    const char* name;
    Valued which;
};

constexpr ValuedOption kValuedOptions[] = {
    {"--out", Valued::Out},       {"--ini", Valued::Ini},         {"--transcript", Valued::Transcript},
    {"--svg", Valued::Svg},       {"--kind", Valued::Kind},       {"--type-kind", Valued::TypeKind},
    {"--method", Valued::Method}, {"--rough", Valued::Rough},     {"--normfix", Valued::NormFix},
    {"--user", Valued::User},     {"--decimal", Valued::Decimal}, {"--log", Valued::Log},
};

/// Stores the value of one option; "" when it is taken, else why not.
std::wstring Apply(SimOptions& options, Valued which, const std::string& value)
{
    switch (which)
    {
    case Valued::Out:
        options.outPath = value;
        break;
    case Valued::Ini:
        options.iniPath = value;
        break;
    case Valued::Transcript:
        options.transcriptPath = value;
        break;
    case Valued::Svg:
        options.svgPath = value;
        break;
    case Valued::Log:
        options.logPath = value;
        break;
    case Valued::Kind:
        // Exactly one digit: "01" or " 1" would be read differently by different people.
        if (value != "0" && value != "1" && value != "2")
            return L"--kind erwartet 0, 1 oder 2, nicht " + Quoted(value) + L".";
        options.kind = value[0] - '0';
        break;
    case Valued::TypeKind:
        options.typeKind = ui::FromUtf8(value);
        break;
    case Valued::Method:
        options.method = ui::FromUtf8(value);
        break;
    case Valued::Rough:
        options.rough = ui::FromUtf8(value);
        break;
    case Valued::NormFix:
        if (value != "0" && value != "1")
            return L"--normfix erwartet 0 oder 1, nicht " + Quoted(value) + L".";
        options.normFix = value == "1";
        break;
    case Valued::User:
        options.user = ui::FromUtf8(value);
        break;
    case Valued::Decimal: {
        const std::wstring separator = ui::FromUtf8(value);
        if (separator.size() != 1)
            return L"--decimal erwartet genau ein Zeichen, nicht " + Quoted(value) + L".";
        options.decimal = separator[0];
        break;
    }
    }
    return L"";
}

} // namespace

bool HasAnswerOption(const SimOptions& options)
{
    return options.kind || options.typeKind || options.method || options.rough || options.normFix ||
           options.answer != SimAnswer::Ok;
}

SimCommandLine ParseSimCommandLine(const std::vector<std::string>& args)
{
    SimOptions options;
    bool haveSession = false;
    bool cancel = false;
    bool close = false;

    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
        {
            options.help = true;
            continue;
        }
        if (arg == "--cancel")
        {
            cancel = true;
            continue;
        }
        if (arg == "--close")
        {
            close = true;
            continue;
        }
        if (arg == "--interactive")
        {
            options.interactive = true;
            continue;
        }

        const ValuedOption* valued = nullptr;
        for (const ValuedOption& candidate : kValuedOptions)
        {
            if (arg == candidate.name)
                valued = &candidate;
        }
        if (valued != nullptr)
        {
            if (i + 1 >= args.size())
                return {std::nullopt, L"Der Option " + Quoted(arg) + L" fehlt ihr Wert."};
            std::wstring error = Apply(options, valued->which, args[++i]);
            if (!error.empty())
                return {std::nullopt, error};
            continue;
        }

        // A lone "-" is a file name, everything else with a leading dash is meant as an option.
        if (arg.size() > 1 && arg[0] == '-')
            return {std::nullopt, L"Unbekannte Option " + Quoted(arg) + L"."};
        if (arg.empty())
            return {std::nullopt, L"Ein leerer Dateiname ist keine Sitzungsdatei."};
        if (haveSession)
            return {std::nullopt,
                    L"Nur eine Sitzungsdatei erlaubt: " + Quoted(options.sessionPath) + L" und " + Quoted(arg) + L"."};
        options.sessionPath = arg;
        haveSession = true;
    }

    if (options.help)
        return {options, L""};
    if (cancel && close)
        return {std::nullopt, L"--cancel und --close schlie\u00dfen einander aus."};
    if (!haveSession)
        return {std::nullopt, L"Keine Sitzungsdatei angegeben."};
    if (cancel)
        options.answer = SimAnswer::Cancel;
    if (close)
        options.answer = SimAnswer::Close;
    return {options, L""};
}

std::wstring SimUsage()
{
    return L"Aufruf: glattmark-sim SITZUNG.json [Optionen]\n"
           L"  --out DATEI          Sitzung nach dem Lauf in DATEI schreiben statt in SITZUNG.json\n"
           L"  --ini DATEI          Konfigurationsdatei (Vorgabe: glattmark.ini neben dem Programm)\n"
           L"  --kind N             Symbolart w\u00e4hlen: 0 Grundlegend, 1 Spanend, 2 Roh\n"
           L"  --type-kind TEXT     TEXT in das Feld der Symbolart tippen\n"
           L"  --method TEXT        Methode\n"
           L"  --rough TEXT         Rauheit\n"
           L"  --normfix 0|1        Kontrollk\u00e4stchen \"Normfix\" setzen\n"
           L"  --cancel | --close   \"Abbruch\" dr\u00fccken | Fenster schlie\u00dfen statt \"Ok\"\n"
           L"  --interactive        im Terminal fragen\n"
           L"  --user NAME          Anmeldename, den das Programm sieht\n"
           L"  --decimal ZEICHEN    Dezimaltrennzeichen der Regionaleinstellungen\n"
           L"  --transcript DATEI   was der Benutzer sah, als JSON\n"
           L"  --svg DATEI          das aktuelle Blatt nach dem Lauf als SVG\n"
           L"  --log DATEI          Protokoll der Aufrufe an SolidWorks anh\u00e4ngen (statt [main] LogFile)\n";
}

} // namespace app::sim
