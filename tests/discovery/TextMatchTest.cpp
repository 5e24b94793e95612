// The hand-written matchers of discovery against std::wregex built from the patterns they stand in for
// (ECMAScript, case-insensitive, searched): both must give the same answer on every generated text.
#include "discovery/MingwProbe.h"
#include "discovery/RegistryReader.h"
#include "discovery/TextMatch.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace
{

using Answer = std::function<std::wstring(const std::wstring&)>;

// The pattern as ECMAScript defines it. Standard libraries differ on ".", "\d" and "\s" (libstdc++ lets
// U+2028 through ".", others '\r'; "\d" and "\s" follow the locale's classes), so the reference spells them
// out:
// "." anything but a line terminator, "\d" the ASCII digits, "\s" white space and line terminators.
std::wregex EcmaScriptPattern(const std::wstring& pattern)
{
    std::wstring spelled;
    bool escaped = false;
    int brackets = 0;
    for (wchar_t c : pattern)
    {
        if (escaped && brackets == 0 && (c == L'd' || c == L's'))
        {
            spelled.pop_back();
            spelled += c == L'd'
                           ? L"[0-9]"
                           : L"[\\t\\n\\v\\f\\r "
                             L"\\u00a0\\u1680\\u2000-\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000\\ufeff]";
        }
        else if (!escaped && brackets == 0 && c == L'.')
            spelled += L"[^\\n\\r\\u2028\\u2029]";
        else
            spelled += c;
        brackets += !escaped && c == L'[' ? 1 : !escaped && c == L']' ? -1 : 0;
        escaped = !escaped && c == L'\\';
    }
    return std::wregex(spelled, std::regex_constants::ECMAScript | std::regex_constants::icase);
}

std::wstring YesNo(bool answer)
{
    return answer ? L"match" : L"no match";
}

// A matcher, its reference, and the pieces its texts are made of.
struct Comparison
{
    const char* name;
    Answer hand;
    Answer reference;
    std::vector<std::wstring> pieces;
};

Comparison Matcher(const char* name, std::function<bool(const std::wstring&)> hand,
                   const std::wstring& pattern, std::vector<std::wstring> pieces)
{
    const std::wregex reference = EcmaScriptPattern(pattern);
    return {name, [hand](const std::wstring& text) { return YesNo(hand(text)); },
            [reference](const std::wstring& text) { return YesNo(std::regex_search(text, reference)); },
            std::move(pieces)};
}

std::wstring VisualStudioPattern(int year)
{
    return L"^Visual Studio (Community|Professional|Enterprise) " + std::to_wstring(year) +
           (year == 2017 ? L"(\\([^\\)]+\\))?$" : L"( \\([^\\)]+\\))?$");
}

// The pieces of a list separated by '|'.
std::vector<std::wstring> Pieces(const std::wstring& list)
{
    std::vector<std::wstring> pieces;
    for (size_t start = 0, end; start <= list.size(); start = end + 1)
    {
        end = std::min(list.find(L'|', start), list.size());
        pieces.push_back(list.substr(start, end - start));
    }
    return pieces;
}

// binDir: a folder without runtime DLLs, so that the report alone decides the exception model.
std::vector<Comparison> Comparisons(const std::wstring& binDir)
{
    const std::vector<std::wstring> displayNamePieces =
        Pieces(L"Visual Studio Community 2017|Visual Studio Professional 2019|visual studio enterprise 2022|"
               L"Visual Studio Community 2026|Visual Studio |Community|Build Tools| 2019|2017|(2)| (3)|()| "
               L"()| (|(|)| |"
               L"Preview|\r|\n|\u2028");
    const std::vector<std::wstring> namePieces =
        Pieces(L"mingw|MinGW|mingw64|devcpp|dev-c|Dev-C++|clion|c-free|C-Free|.exe|.EXE|exe|.|-|5.11| "
               L"|\r|\n|\u2028|\u4e2d");
    const std::vector<std::wstring> dllPieces = Pieces(L"libgcc_s_|seh|sjlj|dw2|libgcc_s_seh|libgcc_s_sjlj|"
                                                       L"libgcc_s_dw2|-1|.dll|-1.dll|-1.DLL|_64|-2|x|\r|\n");
    const std::vector<std::wstring> reportPieces =
        Pieces(L"Thread model|thread MODEL|:|: | |\t|\r|\n|\r\n|\u2028|posix|POSIX|win32|mcf|single|sjlj|seh|"
               L"dwarf|dw2|ucrt|UCRT|msvcrt|--enable-|x86_64-w64-mingw32|posi|win3");
    const std::vector<std::wstring> libraryDirsPieces =
        Pieces(L"C:\\VS\\|D:\\Microsoft Visual Studio\\|VC98\\|vc98\\|MFC\\|mfc\\|LIB|Lib|\\|;|;;|"
               L"\\VC98\\MFC\\LIB|VC98\\MFC\\Lib|\\vc98\\mfc\\lib;|\r|\n|x");
    const std::vector<std::wstring> versionPieces = Pieces(L"14|29|30133|0|.|..|v| |\r|\n|-|\u0661");

    std::vector<Comparison> comparisons = {
        Matcher("mingw folder", IsMingwFolderName, L"^.*?mingw.*?$", namePieces),
        Matcher("Dev-C++ executable", IsDevcppExecutableName, L"^.*?devcpp.*?\\.exe$", namePieces),
        Matcher(
            "tool set folder", [](const std::wstring& name) { return DottedDigitGroups(name) == 3; },
            L"^\\d+\\.\\d+\\.\\d+$", versionPieces),
    };
    for (const wchar_t* ide : {L"dev-c", L"clion", L"c-free"})
        comparisons.push_back(Matcher(
            "IDE display name",
            [ide](const std::wstring& name) {
                return MatchesLinePattern(name, {L"", ide, L""});
            },
            L"^.*?" + std::wstring(ide) + L".*?$", namePieces));
    for (const wchar_t* dll : {L"libgcc_s_seh", L"libgcc_s_sjlj", L"libgcc_s_dw2"})
        comparisons.push_back(Matcher(
            "runtime DLL name",
            [dll](const std::wstring& name) {
                return MatchesLinePattern(name, {dll, L"", L"-1.dll"});
            },
            L"^" + std::wstring(dll) + L".*?-1\\.dll$", dllPieces));
    for (int year : {2017, 2019, 2022, 2026})
        comparisons.push_back(Matcher(
            "Visual Studio display name",
            [year](const std::wstring& name) { return IsVisualStudioName(name, year); },
            VisualStudioPattern(year), displayNamePieces));
    const std::wregex posix = EcmaScriptPattern(L"Thread model.\\s*?posix");
    const std::wregex win32 = EcmaScriptPattern(L"Thread model.\\s*?win32");
    comparisons.push_back({"thread model", DetectThreadModel,
                           [posix, win32](const std::wstring& report) {
                               return std::regex_search(report, posix) || std::regex_search(report, win32)
                                          ? L"_posix"
                                          : L"_mcf";
                           },
                           reportPieces});
    // Without a runtime DLL the report decides, sjlj before seh before dwarf.
    const std::wregex words[] = {EcmaScriptPattern(L"sjlj"), EcmaScriptPattern(L"seh"),
                                 EcmaScriptPattern(L"dwarf")};
    comparisons.push_back({"exception model from the report",
                           [binDir](const std::wstring& report)
                           { return DetectExceptionModel(binDir, report); },
                           [words](const std::wstring& report)
                           {
                               const wchar_t* const models[] = {L"_sjlj", L"_seh", L"_dwarf"};
                               for (int rule = 0; rule < 3; ++rule)
                                   if (std::regex_search(report, words[rule]))
                                       return std::wstring(models[rule]);
                               return std::wstring(L"unkonw-ex");
                           },
                           reportPieces});
    const std::wregex ucrt = EcmaScriptPattern(L"ucrt");
    comparisons.push_back({"C runtime", DetectCrt,
                           [ucrt](const std::wstring& report)
                           { return std::regex_search(report, ucrt) ? L"_ucrt" : L"_msvcrt"; },
                           reportPieces});
    const std::wregex mfcLib = EcmaScriptPattern(L"[^;]+\\\\(?=vc98\\\\mfc\\\\lib$|vc98\\\\mfc\\\\lib;)");
    comparisons.push_back({"Visual C++ 6.0 library folders", Vc6RootFromLibraryDirs,
                           [mfcLib](const std::wstring& list)
                           {
                               std::wsmatch found;
                               return std::regex_search(list, found, mfcLib) ? found.str() + L"VC98\\" : list;
                           },
                           libraryDirsPieces});
    return comparisons;
}

// The text with its line ends spelled out, for the failure message.
std::wstring Escaped(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text)
        escaped += c == L'\r'       ? L"\\r"
                   : c == L'\n'     ? L"\\n"
                   : c == L'\u2028' ? L"\\u2028"
                                    : std::wstring(1, c);
    return escaped;
}

// Up to eight pieces, each letter of a piece in upper or lower case at random.
std::wstring GeneratedText(std::mt19937& random, const std::vector<std::wstring>& pieces)
{
    std::wstring text;
    for (int count = static_cast<int>(random() % 9); count > 0; --count)
    {
        for (wchar_t c : pieces[random() % pieces.size()])
        {
            if (random() % 4 == 0 && c < 0x80 && std::iswalpha(c))
                c = static_cast<wchar_t>(std::iswupper(c) ? std::towlower(c) : std::towupper(c));
            text += c;
        }
    }
    return text;
}

TEST(TextMatch, HandMatchersAnswerAsTheirPatterns)
{
    const TestSupport::ScratchFolder noRuntimeDlls{L"text match"};
    std::mt19937 random(19);
    for (const Comparison& comparison : Comparisons(noRuntimeDlls.Path()))
    {
        std::vector<std::wstring> answers;
        for (int round = 0; round < 4000; ++round)
        {
            const std::wstring text = GeneratedText(random, comparison.pieces);
            const std::wstring expected = comparison.reference(text);
            const std::wstring answer = comparison.hand(text);
            if (answer != expected)
            {
                ADD_FAILURE() << comparison.name << " on \"" << Escaped(text) << "\": " << answer
                              << ", the pattern " << expected;
                break;
            }
            if (std::find(answers.begin(), answers.end(), expected) == answers.end())
                answers.push_back(expected);
        }
        // Texts that gave one answer only would show nothing.
        EXPECT_GE(answers.size(), 2u) << comparison.name;
    }
}

} // namespace
