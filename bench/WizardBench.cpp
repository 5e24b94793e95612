// Timings of the wizard's hot paths in one program: a frame of each page, the idle cost of the paced frame
// loop, the detection pass over a crowded Uninstall key, text measurement and the working set over many
// frames. Each figure is the median and 95th percentile of many repetitions, printed as a table and written
// as JSON to the file named by the first argument.
#include "app/EnvironmentPage.h"
#include "app/Wizard.h"
#include "app/WizardApp.h"
#include "app/WizardSession.h"
#include "app/WizardState.h"
#include "discovery/EnvironmentTable.h"
#include "discovery/RegistryReader.h"
#include "graphwin/gravo.h"
#include "guibackend/GuiFont.h"
#include "win32/TextConversion.h"
#include "support/ScratchRegistry.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace
{
struct Figure
{
    std::string name;
    std::string unit;
    double median;
    double p95;
    int repetitions;
};

std::vector<Figure> figures;

double Now()
{
    static const double ticksPerSecond = []
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticksPerSecond;
}

void Record(const std::string& name, const std::string& unit, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const size_t count = samples.size();
    const double median =
        count % 2 != 0 ? samples[count / 2] : (samples[count / 2 - 1] + samples[count / 2]) / 2;
    const double p95 = samples[std::min(count - 1, (count * 95 + 99) / 100 - 1)];
    figures.push_back(Figure{name, unit, median, p95, static_cast<int>(count)});
    std::printf("%-58s %12.2f %12.2f %-8s %6d\n", name.c_str(), median, p95, unit.c_str(),
                static_cast<int>(count));
    std::fflush(stdout);
}

// Microseconds per call of operation, each sample the mean of batch calls.
void Time(const std::string& name, int samples, int batch, const std::function<void()>& operation)
{
    std::vector<double> times;
    for (int i = 0; i < samples; ++i)
    {
        const double start = Now();
        for (int j = 0; j < batch; ++j)
            operation();
        times.push_back((Now() - start) * 1e6 / batch);
    }
    Record(name, "us", times);
}

double WorkingSetKiB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t)
    {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The wizard in its graph window, as RunWizard sets it up, without the detection pass.
class WizardWindow
{
public:
    WizardWindow() : window(session.Window()), font(session.DefaultFont()), context(session.Context())
    {
        app.Create(context, wizardWidth, wizardHeight);
        appRunning = 1;
    }

    void Frame() { RunFrame(context, app, window); }

    // All ten Visual C++ and six MinGW lines detected, with include and library folders, and the
    // documentation line first, as a developer's machine with everything installed would show them.
    void FillList()
    {
        EnvironmentPage& page = *app.environmentPage;
        page.CreateRows();
        page.displayList.clear();
        EnvListEntry* documentation = page.NewEntry();
        documentation->displayName = L"Gravo 在线文档";
        documentation->statusText = L"在桌面创建快捷方式";
        documentation->detected = true;
        page.displayList.push_back(documentation);
        const auto add = [&](int rowIndex, bool isMingw, const std::wstring& name)
        {
            EnvListEntry* entry = page.NewEntry();
            entry->rowIndex = rowIndex;
            entry->isMingw = isMingw;
            entry->displayName = name;
            entry->infoLine1 = L"包含目录: C:\\Program Files\\" + name + L"\\include";
            entry->infoLine2 = L"库目录: C:\\Program Files\\" + name + L"\\lib";
            entry->statusText = L"已检测到";
            entry->detected = true;
            page.detectedList.push_back(entry);
            page.displayList.push_back(entry);
        };
        for (size_t i = 0; i < page.vcRows.size(); ++i)
            add(static_cast<int>(i), false, page.vcRows[i]->displayName);
        for (size_t i = 0; i < page.mingwRows.size(); ++i)
            add(static_cast<int>(i), true, page.mingwRows[i]->displayName);
    }

    WizardSession session;
    HWND window;
    GuiFont* font;
    nk_context* context;
    WizardApp app;
};

void BenchFrames(WizardWindow& wizard, const std::string& page)
{
    for (int i = 0; i < 50; ++i)
        wizard.Frame();
    Time("frame, " + page, 2000, 1, [&] { wizard.Frame(); });
}

// The frame loop's own pacing: a frame, then 10 ms of sleep, for two seconds per sample.
void BenchIdle(WizardWindow& wizard, const std::string& page)
{
    std::vector<double> samples;
    for (int i = 0; i < 5; ++i)
    {
        const double cpuStart = ProcessCpuSeconds();
        const double start = Now();
        while (Now() - start < 2.0)
        {
            wizard.Frame();
            Sleep(10);
        }
        samples.push_back((ProcessCpuSeconds() - cpuStart) * 1000.0 / (Now() - start));
    }
    Record("idle CPU time, " + page + " (10 ms pacing)", "ms/s", samples);
}

void BenchWorkingSet(WizardWindow& wizard)
{
    wizard.Frame();
    std::vector<double> at100, at10000;
    for (int frame = 1; frame <= 10000; ++frame)
    {
        wizard.Frame();
        if (frame == 100)
            at100.push_back(WorkingSetKiB());
    }
    at10000.push_back(WorkingSetKiB());
    Record("working set after 100 frames, list page", "KiB", at100);
    Record("working set after 10000 frames, list page", "KiB", at10000);
}

// The text measurement before the measurer of its own: the library's text style set to the font and put
// back around the library's TextWidth, two GDI fonts made per call.
float WidthThroughTextStyle(const LOGFONTW* logfont, const char* text, int byteLength)
{
    LOGFONTW saved;
    GetFont(&saved);
    SetFont(logfont);
    const float width = static_cast<float>(TextWidth(Utf8ToWide(text, byteLength).c_str()));
    SetFont(&saved);
    return width;
}

void BenchTextWidth(WizardWindow& wizard)
{
    const char* texts[] = {"安装", "下一步 >", "Visual C++ 2022",
                           "包含目录: C:\\Program Files\\Microsoft Visual Studio"};
    for (const char* text : texts)
    {
        const int length = static_cast<int>(std::strlen(text));
        const float before = WidthThroughTextStyle(wizard.font->logfont, text, length);
        const float after = GuiTextWidth(nk_handle_ptr(wizard.font), 0, text, length);
        if (before != after)
            std::printf("MISMATCH: \"%s\" %.0f through the text style, %.0f measured\n", text, before, after);
    }
    const char text[] = "包含目录: C:\\Program Files\\Microsoft Visual Studio";
    const int length = static_cast<int>(sizeof text - 1);
    Time("GuiTextWidth, through the text style (before)", 200, 50,
         [&] { WidthThroughTextStyle(wizard.font->logfont, text, length); });
    Time("GuiTextWidth, cached font and DC (after)", 200, 50,
         [&] { GuiTextWidth(nk_handle_ptr(wizard.font), 0, text, length); });
}

// Subkeys of the Uninstall key the pass reads, none of them matching; with matches, entries for Visual
// Studio 2017 to 2026 and Dev-C++ after them (enumerated last).
const std::wstring uninstall = HostIs64()
                                   ? L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                                   : L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void FillUninstall(int subkeys, bool withMatches)
{
    for (int i = 0; i < subkeys; ++i)
    {
        wchar_t name[32];
        swprintf(name, 32, L"{%08d-0000-0000-0000-000000000000}", i);
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, uninstall + L"\\" + name, L"DisplayName",
                                  L"Some Application " + std::to_wstring(i));
    }
    if (!withMatches)
        return;
    const wchar_t* names[] = {L"Visual Studio Community 2017", L"Visual Studio Community 2019",
                              L"Visual Studio Community 2022", L"Visual Studio Community 2026", L"Dev-C++"};
    int n = 0;
    for (const wchar_t* displayName : names)
    {
        // Wine and Windows enumerate subkeys in case-blind name order: "~" comes after the "{" of the others.
        const std::wstring path = uninstall + L"\\~match-" + std::to_wstring(n++);
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, path, L"DisplayName", displayName);
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, path, L"InstallLocation", L"C:\\nowhere\\" + path);
        TestSupport::SetRegString(HKEY_LOCAL_MACHINE, path, L"UninstallString",
                                  L"C:\\nowhere\\uninstall.exe");
    }
}

void BenchDetection(int subkeys, bool withMatches, int repetitions)
{
    TestSupport::ScratchRegistry registry;
    FillUninstall(subkeys, withMatches);
    Time("detection pass, " + std::to_string(subkeys) + " Uninstall subkeys" +
             (withMatches ? ", matches last" : ""),
         repetitions, 1,
         []
         {
             EnvironmentTable table;
             table.RunDetectionPass();
         });
}

// What one Uninstall subkey costs a search of the key: listing it and reading its DisplayName, and matching
// the name against a pattern of the pass (the same flags as the reader's).
void BenchUninstallScan()
{
    TestSupport::ScratchRegistry registry;
    FillUninstall(1000, false);
    Time("Uninstall search step: list 1000 subkeys, read each DisplayName", 10, 1,
         []
         {
             for (const std::wstring& name : EnumSubkeys(HKEY_LOCAL_MACHINE, uninstall.c_str()))
                 ReadRegistryString(HKEY_LOCAL_MACHINE, (uninstall + L"\\" + name).c_str(), L"DisplayName");
         });
    const std::wregex pattern(LR"(^Visual Studio (Community|Professional|Enterprise) 2022( \([^\)]+\))?$)",
                              std::regex::ECMAScript | std::regex::icase);
    const std::wstring displayName = L"Some Application 123";
    Time("Uninstall search step: one icase regex_search of a DisplayName", 100, 100,
         [&] { std::regex_search(displayName, pattern); });
}

void WriteJson(const char* path)
{
    FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return;
    std::fprintf(file, "{\n  \"figures\": [\n");
    for (size_t i = 0; i < figures.size(); ++i)
    {
        const Figure& f = figures[i];
        std::fprintf(file,
                     "    {\"name\": \"%s\", \"unit\": \"%s\", \"median\": %.3f, \"p95\": %.3f, "
                     "\"repetitions\": %d}%s\n",
                     f.name.c_str(), f.unit.c_str(), f.median, f.p95, f.repetitions,
                     i + 1 < figures.size() ? "," : "");
    }
    std::fprintf(file, "  ]\n}\n");
    std::fclose(file);
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::printf("%-58s %12s %12s %-8s %6s\n", "figure", "median", "p95", "unit", "reps");
    {
        WizardWindow wizard;
        currentPage = 1;
        BenchFrames(wizard, "welcome page");
        BenchTextWidth(wizard);
        wizard.FillList();
        currentPage = 2;
        BenchFrames(wizard, "list page, 16 lines detected");
        BenchWorkingSet(wizard);
        currentPage = 1;
        BenchIdle(wizard, "welcome page");
        currentPage = 2;
        BenchIdle(wizard, "list page, 16 lines detected");
    }
    for (int subkeys : {0, 100, 1000, 5000})
        BenchDetection(subkeys, false, subkeys >= 5000 ? 10 : 30);
    for (int subkeys : {0, 5000})
        BenchDetection(subkeys, true, subkeys >= 5000 ? 10 : 30);
    BenchUninstallScan();
    if (argc > 1)
    {
        char path[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, argv[1], -1, path, MAX_PATH, nullptr, nullptr);
        WriteJson(path);
    }
    return 0;
}
