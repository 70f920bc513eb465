// The cases of the profile functions, each with what Windows answers: the portable store is tested against
// them, and the Windows adapter against the portable store.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace config_testing
{

using namespace std::string_literals;

// The file read by most read cases: a quoted value, a line without "=", a second empty section.
inline const std::string kF1 = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";

inline std::string ReplaceAllBytes(std::string text, const std::string& what, const std::string& with)
{
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
    return text;
}

struct ReadCase
{
    const char* name;
    std::optional<std::string> file; ///< nothing: no file
    std::wstring section;
    std::wstring key;
    std::optional<std::wstring> defaultValue;
    std::int32_t bufferSize;
    std::int32_t expectedCount;
    std::wstring expectedValue;
};

inline std::vector<ReadCase> ReadCases()
{
    const std::string crOnly = ReplaceAllBytes(kF1, "\r\n", "\r");
    return {
        {"plain value", kF1, L"section1", L"name1", L"default", 260, 4, L"val1"},
        {"key in other case", kF1, L"section1", L"NaMe1", std::nullopt, 260, 4, L"val1"},
        {"section in other case", kF1, L"SECTION1", L"name1", std::nullopt, 260, 4, L"val1"},
        {"quotes removed", kF1, L"section1", L"name2", std::nullopt, 260, 4, L"val2"},
        {"missing key gives default", kF1, L"section1", L"notakey", L"default", 260, 7, L"default"},
        {"missing key without default", kF1, L"section1", L"notakey", std::nullopt, 260, 0, L""},
        {"missing section", kF1, L"notasection", L"name1", L"default", 260, 7, L"default"},
        {"truncated to size - 1", kF1, L"section1", L"name1", L"default", 4, 3, L"val"},
        {"exact fit", kF1, L"section1", L"name1", L"default", 5, 4, L"val1"},
        {"size 1 gives nothing", kF1, L"section1", L"name4", std::nullopt, 1, 0, L""},
        {"empty section", kF1, L"section2", L"DoesntExist", L"", 260, 0, L""},
        {"default loses trailing spaces", kF1, L"section1", L"notakey", L"default  ", 260, 7, L"default"},
        {"default keeps inner spaces", kF1, L"section1", L"notakey", L"one two  ", 260, 7, L"one two"},
        {"default truncated too", kF1, L"section1", L"notakey", L"default", 4, 3, L"def"},
        {"CR only line ends", crOnly, L"section1", L"name1", std::nullopt, 260, 4, L"val1"},
        {"CR only, quoted", crOnly, L"section1", L"name2", std::nullopt, 260, 4, L"val2"},
        {"LF only line ends", "[Test]\nProfileInt=123\n", L"Test", L"ProfileInt", std::nullopt, 260, 3, L"123"},
        {"mixed line ends", "[a]\rx=1\n[b]\r\ny=2\rz=3", L"b", L"z", std::nullopt, 260, 1, L"3"},
        {"no file", std::nullopt, L"s", L"k", std::nullopt, 260, 0, L""},
        {"no file, default", std::nullopt, L"s", L"k", L"dflt", 260, 4, L"dflt"},
        {"blanks inside quotes kept", "[s]\r\nk=  \"   TestValue   \"  \r\n", L"s", L"k", std::nullopt, 260, 15,
         L"   TestValue   "},
        {"single quotes", "[s]\r\nk=  '   TestValue   '  \r\n", L"s", L"k", std::nullopt, 260, 15, L"   TestValue   "},
        {"mismatched quotes stay", "[s]\r\nk=  \"   TestValue   '  \r\n", L"s", L"k", std::nullopt, 260, 17,
         L"\"   TestValue   '"},
        {"crossed quotes stay", "[s]\r\nk=  '\"   v   '\"  \r\n", L"s", L"k", std::nullopt, 260, 11, L"'\"   v   '\""},
        {"only the outer pair goes", "[s]\r\nk=\"'x'\"\r\n", L"s", L"k", std::nullopt, 260, 3, L"'x'"},
        {"lone quote", "[s]\r\nk=\"\r\n", L"s", L"k", std::nullopt, 260, 1, L"\""},
        {"empty quotes", "[s]\r\nk=\"\"\r\n", L"s", L"k", L"dflt", 260, 0, L""},
        {"quoted blanks are not empty", "[s]\r\nk=\t\"  \"\r\n", L"s", L"k", std::nullopt, 260, 2, L"  "},
        {"no inline comments", "[s]\r\nk=value ; comment\r\n", L"s", L"k", std::nullopt, 260, 15, L"value ; comment"},
        {"comment line is no key", "[s]\r\n;k=commented\r\n", L"s", L";k", L"d", 260, 1, L"d"},
        {"comment is no key by its name", "[s]\r\n;k=commented\r\n", L"s", L"k", L"d", 260, 1, L"d"},
        {"indented comment", "[s]\r\n \t;k=v\r\n", L"s", L"k", L"d", 260, 1, L"d"},
        {"hash is no comment", "[s]\r\n#k=hash\r\n", L"s", L"#k", std::nullopt, 260, 4, L"hash"},
        {"first key wins", "[s]\r\nk=first\r\nk=second\r\n", L"s", L"k", std::nullopt, 260, 5, L"first"},
        {"only the first section is searched", "[s]\r\n[s]\r\nk=v", L"s", L"k", L"d", 260, 1, L"d"},
        {"first section, own key", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nk=x\r\n", L"s", L"a", L"d", 260, 1, L"1"},
        {"repeated section unreachable", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nk=x\r\n", L"s", L"k", L"d", 260, 1, L"d"},
        {"lines before the first header", "k=before\r\n[s]\r\nk=in\r\n", L"", L"k", L"d", 260, 1, L"d"},
        {"after the first header", "k=before\r\n[s]\r\nk=in\r\n", L"s", L"k", L"d", 260, 2, L"in"},
        {"empty brackets name a section", "[]\r\nkey=v\r\n", L"", L"key", L"d", 260, 1, L"v"},
        {"empty key name", "[s]\r\n=val_no_key\r\n", L"s", L"", L"d", 260, 10, L"val_no_key"},
        {"blanks around names", "[ s ]\r\n  k  =  v v  \r\n", L"s", L"k", std::nullopt, 260, 3, L"v v"},
        {"spaces of the arguments", "[ s ]\r\n  k  =  v v  \r\n", L"  s  ", L"  k  ", std::nullopt, 260, 3, L"v v"},
        {"tab in the key argument", "[s]\r\nk=v\r\n", L"s", L"k\t", L"d", 260, 1, L"d"},
        {"blanks before the bracket", " \t\v[s]\r\nk=v\r\n", L"s", L"k", L"d", 260, 1, L"v"},
        {"tab and VT inside the brackets", "[\tx\v]\r\nk=v\r\n", L"x", L"k", L"d", 260, 1, L"v"},
        {"header without bracket", "[s   \r\nk=v\r\n", L"s", L"k", L"d", 260, 1, L"v"},
        {"name ends at the first bracket", "[sec]whoops]\r\nk=v\r\n", L"sec", L"k", L"d", 260, 1, L"v"},
        {"key after header on its line", "[s]k=v\r\n", L"s", L"k", L"d", 260, 1, L"d"},
        {"no opening bracket", "s]\r\nk=v\r\n", L"s", L"k", L"d", 260, 1, L"d"},
        {"value holds equals signs", "[s]\r\nk=a=b\r\n", L"s", L"k", std::nullopt, 260, 3, L"a=b"},
        {"line without equals sign", kF1, L"section1", L"name3", L"default", 260, 7, L"default"},
        {"UTF-8 BOM hides the first header", "\xEF\xBB\xBF[S1]\r\nk1=v1\r\n[S2]\r\nk2=v2\r\n", L"S1", L"k1", L"d", 260,
         1, L"d"},
        {"UTF-8 BOM, second header", "\xEF\xBB\xBF[S1]\r\nk1=v1\r\n[S2]\r\nk2=v2\r\n", L"S2", L"k2", L"d", 260, 2,
         L"v2"},
        {"UTF-16LE file", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\xAC\x20\r\0\n\0"s, L"s", L"K", std::nullopt, 260, 2,
         L"\u00e4\u20ac"},
        {"Windows-1252 value", "[s]\r\nk=gefr\xE4st \x80\r\n", L"s", L"k", std::nullopt, 260, 9,
         L"gefr\u00e4st \u20ac"},
        {"non-ASCII names match in either case", "[\xC4S]\r\n\xC4k=x\r\n", L"\u00e4s", L"\u00e4K", std::nullopt, 260, 1,
         L"x"},
        {"NUL bytes are ordinary characters", "x\0y\r\n[s]\r\nk=a\0b\r\n"s, L"s", L"k", std::nullopt, 260, 3, L"a\0b"s},
        {"binary junk before the section", "\x01\x02\xFF\xFE\x80[\r\n\x1A\x00=\x7F\r\n[s]\r\nk=v\r\n"s, L"s", L"k",
         std::nullopt, 260, 1, L"v"},
    };
}

struct WriteStep
{
    std::wstring section;
    std::optional<std::wstring> key;
    std::optional<std::wstring> value;
};

struct WriteCase
{
    const char* name;
    std::optional<std::string> file; ///< nothing: no file
    std::vector<WriteStep> steps;
    std::string expected;
};

inline std::vector<WriteCase> WriteCases()
{
    const std::wstring e;
    return {
        {"new file", std::nullopt, {{L"App", L"key", L"string"}}, "[App]\r\nkey=string\r\n"},
        {"empty file, sections build up",
         "",
         {{L"App1", L"key1", L"string1"},
          {L"App1", L"key2", L"string2"},
          {L"App1", L"key3", L"string3"},
          {L"App2", L"key4", L"string4"},
          {L"App3", L"key5", L"string5"}},
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5="
         "string5\r\n"},
        {"deletes",
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5="
         "string5\r\n",
         {{L"App1", L"key2", std::nullopt},
          {L"App1", L"key2", std::nullopt},
          {L"App1", std::nullopt, L"string1"},
          {L"App2", std::nullopt, std::nullopt},
          {L"App3", L"key5", std::nullopt}},
         "[App3]\r\n"},
        {"delete key on a missing file leaves an empty file", std::nullopt, {{L"App", L"key", std::nullopt}}, ""},
        {"delete section on a missing file leaves an empty file", std::nullopt, {{L"App", std::nullopt, L"s"}}, ""},
        {"empty value", std::nullopt, {{L"App", L"key", e}}, "[App]\r\nkey=\r\n"},
        {"junk and NUL bytes before the first section are kept",
         "Data \0 before \0 first \0 section"s,
         {{L"section1", L"key1", L"string1"}},
         "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
        {"text without line break", "junk", {{L"s", L"k", L"v"}}, "junk\r\n[s]\r\nk=v\r\n"},
        {"new keys after the last key, old ones in place",
         "[S]\r\nb=value\r\na=value\r\n",
         {{L"S", L"z", e}, {L"S", L"b", e}, {L"S", L"y", e}, {L"S", L"a", e}},
         "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
        {"keys in the order written",
         "",
         {{L"S", L"z", e}, {L"S", L"a", e}, {L"S", L"y", e}, {L"S", L"b", e}},
         "[S]\r\nz=\r\na=\r\ny=\r\nb=\r\n"},
        {"comments do not count as keys",
         ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
         {{L"S", L"z", e}, {L"S", L";x", e}, {L"S", L"y", e}, {L"S", L"a", e}, {L"S", L"b", e}},
         ";comment0\r\n[S]\r\n;comment1\r\nb=\r\n;comment2\r\na=\r\nz=\r\ny=\r\n;x=\r\n"},
        {"comment keys go after the last key",
         "",
         {{L"S", L"z", e}, {L"S", L";y", e}, {L"S", L"a", e}, {L"S", L";b", e}, {L"S", L";c", e}},
         "[S]\r\nz=\r\na=\r\n;c=\r\n;b=\r\n;y=\r\n"},
        {"deleting a section keeps its comments",
         ";comment0\r\n[S]\r\n;comment1\r\n[S2]\r\n;comment2\r\n",
         {{L"S", std::nullopt, std::nullopt}, {L"S2", std::nullopt, std::nullopt}},
         ";comment0\r\n;comment1\r\n;comment2\r\n"},
        {"replacing keeps the spelling and ends the last line",
         "[SectionName]\r\nTestKey=TestValue",
         {{L"SECTIONNAME", L"TestKey", L"TestValue2"}},
         "[SectionName]\r\nTestKey=TestValue2\r\n"},
        {"replacing by a key in other case",
         "[SectionName]\r\nTestKey=TestValue",
         {{L"SectionName", L"TESTKEY", L"TestValue2"}},
         "[SectionName]\r\nTestKey=TestValue2\r\n"},
        {"value written verbatim", std::nullopt, {{L"S", L"k", L" value "}}, "[S]\r\nk= value \r\n"},
        {"spaces around names dropped", std::nullopt, {{L" sec ", L" key ", L"v"}}, "[sec]\r\nkey=v\r\n"},
        {"comment key twice",
         std::nullopt,
         {{L"S", L";key", L"v"}, {L"S", L";key", L"v"}},
         "[S]\r\n;key=v\r\n;key=v\r\n"},
        {"comment key is not deleted", "[S]\r\n;key=v\r\n", {{L"S", L";key", std::nullopt}}, "[S]\r\n;key=v\r\n"},
        {"blank lines after the section stay",
         "[S]\r\nk=v\r\n\r\n\r\n[T]\r\nx=1\r\n",
         {{L"S", L"n", L"1"}},
         "[S]\r\nk=v\r\nn=1\r\n\r\n\r\n[T]\r\nx=1\r\n"},
        {"UTF-8 BOM is a first line", "\xEF\xBB\xBF", {{L"S", L"k", L"v"}}, "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n"},
        {"UTF-16LE file stays UTF-16LE",
         "\xFF\xFE",
         {{L"S", L"k", L"\u00e4"}},
         "\xFF\xFE\r\0\n\0[\0S\0]\0\r\0\n\0k\0=\0\xE4\0\r\0\n\0"s},
        {"value with a line break", std::nullopt, {{L"s", L"k", L"a\r\nb=c"}}, "[s]\r\nk=a\r\nb=c\r\n"},
        {"LF file: only the changed line changes",
         "; Kopf\n[s]\n  k = alt  \n\n[t]\nx=1\n",
         {{L"s", L"k", L"neu"}, {L"s", L"n", L"2"}, {L"t", L"x", std::nullopt}},
         "; Kopf\n[s]\n  k =neu\nn=2\r\n\n[t]\n"},
        {"key into a section of comments only",
         "[s]\r\n;c\r\n[t]\r\n",
         {{L"s", L"k", L"v"}},
         "[s]\r\nk=v\r\n;c\r\n[t]\r\n"},
        {"key into a last header without line break",
         "[a]\r\nx=1\r\n[s]",
         {{L"s", L"k", L"v"}},
         "[a]\r\nx=1\r\n[s]\r\nk=v\r\n"},
        {"first of two sections is written",
         "[s]\r\na=1\r\n[t]\r\n[s]\r\nk=old\r\n",
         {{L"s", L"k", L"new"}},
         "[s]\r\na=1\r\nk=new\r\n[t]\r\n[s]\r\nk=old\r\n"},
        {"empty section name", std::nullopt, {{L"", L"k", L"v"}}, "[]\r\nk=v\r\n"},
        {"duplicate keys: the first is replaced, then deleted",
         "[s]\r\nk=1\r\nk=2\r\n",
         {{L"s", L"k", L"3"}, {L"s", L"K", std::nullopt}},
         "[s]\r\nk=2\r\n"},
        {"key into a section followed by blank lines only",
         "[s]\r\n\r\n[t]\r\n",
         {{L"s", L"k", L"v"}},
         "[s]\r\nk=v\r\n\r\n[t]\r\n"},
        {"section deletion takes its key lines and junk",
         "[s]\r\na=1\r\nnoequals\r\n\r\n;keep\r\n[t]\r\nb=2",
         {{L"s", std::nullopt, std::nullopt}},
         "\r\n;keep\r\n[t]\r\nb=2"},
        {"deleting the last line without break", "[s]\r\na=1\r\nb=2", {{L"s", L"b", std::nullopt}}, "[s]\r\na=1\r\n"},
        {"missing key or section: nothing changes",
         "[s]\na=1",
         {{L"s", L"b", std::nullopt}, {L"x", L"a", std::nullopt}, {L"x", std::nullopt, std::nullopt}},
         "[s]\na=1"},
        {"Windows-1252 out, unmappable as ?",
         std::nullopt,
         {{L"Liste", L"M\u00f6", L"gefr\u00e4st \u20ac \u0142"}},
         "[Liste]\r\nM\xF6=gefr\xE4st \x80 ?\r\n"},
        {"every byte survives an edit",
         "\x81\x8D\x8F\x90\x9D\xFF\r\n[s]\r\nk=1\r\n",
         {{L"s", L"k", L"2"}},
         "\x81\x8D\x8F\x90\x9D\xFF\r\n[s]\r\nk=2\r\n"},
    };
}

} // namespace config_testing
