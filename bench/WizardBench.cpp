// Timings of the wizard's hot paths in one program, each measured today and on the path it replaced (the
// "before" figures run the replaced code, kept here): a frame of each page, the idle cost of the paced frame
// loop as Linux counts it (the process and the wineserver), the start-up to the first frame on screen, text
// measurement, the renderer's text commands, the detection pass over a crowded Uninstall key and the working
// set over many frames. Each figure is the median and 95th percentile of many repetitions, printed as a
// table and written as JSON to the file named by the first argument; the second names gravo-setup.exe.
#include "DetectionBench.h"

#include "app/EnvironmentPage.h"
#include "app/Wizard.h"
#include "app/WizardApp.h"
#include "app/WizardSession.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "guibackend/CommandRenderer.h"
#include "guibackend/GuiFont.h"
#include "win32/TextConversion.h"
#include "win32/UniqueHandles.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <utility>
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

// The wizard's object without its detection pass, which would replace the benchmark's list.
class BenchApp : public WizardApp
{
public:
    void StartDetection() override {}
};

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
    BenchApp app;
};

// Today's text measurement before the prefix widths: the font selected into the measuring DC and one
// GetTextExtentPoint32W for every width Nuklear asks for, each prefix of a clamped label included.
class MeasurerBefore
{
public:
    MeasurerBefore() : dc(CreateCompatibleDC(nullptr)) { SetGraphicsMode(dc.get(), GM_ADVANCED); }
    ~MeasurerBefore() { SelectObject(dc.get(), GetStockObject(SYSTEM_FONT)); }
    MeasurerBefore(const MeasurerBefore&) = delete;
    MeasurerBefore& operator=(const MeasurerBefore&) = delete;

    int Width(const LOGFONTW& logfont, const std::wstring& text)
    {
        HFONT font = FontFor(logfont);
        SelectObject(dc.get(), font);
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(std::wcslen(text.c_str())), &size);
        return size.cx;
    }

private:
    HFONT FontFor(const LOGFONTW& logfont)
    {
        for (const auto& cached : fonts)
            if (SameLogfont(cached.first, logfont))
                return cached.second.get();
        fonts.emplace_back(logfont, UniqueFont(CreateFontIndirectW(&logfont)));
        return fonts.back().second.get();
    }

    UniqueMemoryDc dc;
    std::vector<std::pair<LOGFONTW, UniqueFont>> fonts;
};

MeasurerBefore* measurerBefore = nullptr;

float WidthBefore(nk_handle handle, float, const char* text, int byteLength)
{
    const auto* font = static_cast<const GuiFont*>(handle.ptr);
    if (font == nullptr || font->logfont == nullptr || text == nullptr)
        return 0.0f;
    return static_cast<float>(measurerBefore->Width(*font->logfont, Utf8ToWide(text, byteLength)));
}

// Runs operation with Nuklear measuring through today's measurer (before) or the one it replaced.
void WithMeasurement(WizardWindow& wizard, bool before, const std::function<void()>& operation)
{
    wizard.font->description.width = before ? WidthBefore : GuiTextWidth;
    operation();
    wizard.font->description.width = GuiTextWidth;
}

// The frame as it was before: built (with the measurer given), rendered and presented whatever its commands.
void FrameBefore(WizardWindow& wizard)
{
    wizard.app.DrawFrame();
    RenderGui(nk_rgb(99, 99, 99));
    PresentBatch();
}

// One turn's input with the pointer at a place, as DrainInput hands a pointer move to the context.
void PointerAt(WizardWindow& wizard, POINT at)
{
    nk_input_begin(wizard.context);
    nk_input_motion(wizard.context, at.x, at.y);
    nk_input_end(wizard.context);
}

// Whether the back buffer, as the frames drawn in part left it, is the frame drawn whole.
bool SameAsWholeFrame(WizardWindow& wizard)
{
    const DWORD* pixels = TargetPixels(nullptr);
    const std::vector<DWORD> inPart(pixels, pixels + wizardWidth * wizardHeight);
    wizard.app.DrawFrame();
    RenderGui(nk_rgb(99, 99, 99));
    return std::equal(inPart.begin(), inPart.end(), TargetPixels(nullptr));
}

// A page's frames: with the pointer still (each frame's commands those of the frame before) and with the
// pointer moving between two places that look different (every frame's commands change), each on the path
// before (every frame rendered and presented, the font selected for every measurement) and today's.
void BenchFrames(WizardWindow& wizard, const std::string& page, POINT first, POINT second)
{
    for (bool before : {true, false})
        WithMeasurement(wizard, before,
                        [&]
                        {
                            const auto still = [&]
                            {
                                if (before)
                                {
                                    DrainInput(wizard.context, wizard.window);
                                    FrameBefore(wizard);
                                }
                                else
                                {
                                    wizard.Frame();
                                }
                            };
                            for (int i = 0; i < 50; ++i)
                                still();
                            Time("frame, " + page + (before ? ", before" : ", after, pointer still"), 2000, 1,
                                 still);
                        });
    for (bool before : {true, false})
        WithMeasurement(wizard, before,
                        [&]
                        {
                            int frame = 0;
                            int presented = 0;
                            const auto moving = [&]
                            {
                                PointerAt(wizard, ++frame % 2 != 0 ? first : second);
                                if (before)
                                    FrameBefore(wizard);
                                else
                                {
                                    const RECT drawn = DrawAndPresent(wizard.app);
                                    presented += IsRectEmpty(&drawn) ? 0 : 1;
                                }
                            };
                            for (int i = 0; i < 50; ++i)
                                moving();
                            presented = 0;
                            Time("frame, " + page + (before ? ", before" : ", after") +
                                     ", pointer moving (commands change)",
                                 2000, 1, moving);
                            if (!before && presented != 2000)
                                std::printf("MISMATCH: %d of 2000 moving frames presented\n", presented);
                            if (!before && !SameAsWholeFrame(wizard))
                                std::printf("MISMATCH: a frame drawn in part differs from the whole frame\n");
                        });
    PointerAt(wizard, POINT{0, 0});
}

// The user and system time of a Linux process in seconds, from /proc (drive Z: is the Linux root under
// Wine); negative when it cannot be read.
double LinuxCpuSeconds(const std::string& pid)
{
    FILE* file = std::fopen(("Z:\\proc\\" + pid + "\\stat").c_str(), "r");
    if (file == nullptr)
        return -1;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* fields = read ? std::strrchr(line, ')') : nullptr;
    unsigned long long user = 0;
    unsigned long long system = 0;
    // After the name: state, then fields 4 to 13, then utime and stime (fields 14 and 15), in clock ticks.
    if (fields == nullptr || std::sscanf(fields + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                                         &user, &system) != 2)
        return -1;
    return static_cast<double>(user + system) / 100.0;
}

// The Linux process number of this program, which scripts/bench writes into bench.pid: under Wine the
// wineserver opens files, so /proc/self would be the server's.
std::string OwnLinuxPid()
{
    FILE* file = std::fopen("bench.pid", "r");
    if (file == nullptr)
        return "";
    char line[32] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    return read ? std::string(line, std::strcspn(line, "\r\n")) : "";
}

// This program and the wineserver of its prefix (its Linux process number in GRAVO_WINESERVER_PID); negative
// when either cannot be read.
double WizardAndServerCpuSeconds()
{
    const std::string self = OwnLinuxPid();
    const char* server = std::getenv("GRAVO_WINESERVER_PID");
    if (self.empty() || server == nullptr || *server == '\0')
        return -1;
    const double selfSeconds = LinuxCpuSeconds(self);
    const double serverSeconds = LinuxCpuSeconds(server);
    return selfSeconds < 0 || serverSeconds < 0 ? -1 : selfSeconds + serverSeconds;
}

// The idle page with the pointer still, as Linux counts the CPU time of the wizard and the wineserver:
// before, every turn builds, renders and presents (today's measurer); after, the frame loop's turns.
void BenchIdle(WizardWindow& wizard, const std::string& page)
{
    if (WizardAndServerCpuSeconds() < 0)
    {
        std::printf("(no idle figures: run by scripts/bench, which names the processes for /proc)\n");
        return;
    }
    for (bool before : {true, false})
    {
        FrameLoop loop(wizard.context, wizard.app, wizard.window);
        const auto turn = [&]
        {
            if (before)
            {
                DrainInput(wizard.context, wizard.window);
                FrameBefore(wizard);
                Sleep(10);
            }
            else
            {
                loop.Turn();
            }
        };
        for (int i = 0; i < 20; ++i)
            turn();
        std::vector<double> samples;
        for (int i = 0; i < 5; ++i)
        {
            const double cpuStart = WizardAndServerCpuSeconds();
            const double start = Now();
            while (Now() - start < 2.0)
                turn();
            samples.push_back((WizardAndServerCpuSeconds() - cpuStart) * 1000.0 / (Now() - start));
        }
        Record("idle CPU, wizard and wineserver, " + page + (before ? ", before" : ", after"), "ms/s",
               samples);
    }
}

// The renderer's text commands: 40 labels in the default font, drawn by RenderGui (after) and by the text
// routine it replaced, which set the command's font and put the previous one back around every text.
void BenchTextCommands(WizardWindow& wizard)
{
    const auto pushLabels = [&]
    {
        nk_begin(wizard.context, "bench", nk_rect(0, 0, wizardWidth, wizardHeight), NK_WINDOW_NO_SCROLLBAR);
        nk_layout_row_dynamic(wizard.context, 8, 4);
        for (int i = 0; i < 40; ++i)
            nk_label(wizard.context, "库文件路径", NK_TEXT_LEFT);
        nk_end(wizard.context);
    };
    Time("40 text commands, before (font set and put back each)", 500, 1,
         [&]
         {
             pushLabels();
             SetBackColour(RGB(99, 99, 99));
             ClearTarget();
             for (const nk_command* command = nk__begin(wizard.context); command != nullptr;
                  command = nk__next(wizard.context, command))
             {
                 if (command->type != NK_COMMAND_TEXT)
                     continue;
                 const auto& text = *reinterpret_cast<const nk_command_text*>(command);
                 const COLORREF savedText = TextColour();
                 const COLORREF savedBack = BackColour();
                 const int savedMode = BackMode();
                 LOGFONTW savedFont;
                 GetFont(&savedFont);
                 SetFont(static_cast<const GuiFont*>(text.font->userdata.ptr)->logfont);
                 SetBackColour(RGB(text.background.r, text.background.g, text.background.b));
                 SetTextColour(RGB(text.foreground.r, text.foreground.g, text.foreground.b));
                 SetBackMode(TRANSPARENT);
                 DrawGuiText(text.x, text.y, text.string);
                 SetFont(&savedFont);
                 SetTextColour(savedText);
                 SetBackColour(savedBack);
                 SetBackMode(savedMode);
             }
             nk_clear(wizard.context);
         });
    Time("40 text commands, after (RenderGui)", 500, 1,
         [&]
         {
             pushLabels();
             RenderGui(nk_rgb(99, 99, 99));
         });
}

// The working set over many frames of the list page, the pointer moving between two tooltips so that every
// frame is rendered and presented.
void BenchWorkingSet(WizardWindow& wizard, POINT first, POINT second)
{
    wizard.Frame();
    std::vector<double> at100, at10000;
    for (int frame = 1; frame <= 10000; ++frame)
    {
        PointerAt(wizard, frame % 2 != 0 ? first : second);
        DrawAndPresent(wizard.app);
        if (frame == 100)
            at100.push_back(WorkingSetKiB());
    }
    at10000.push_back(WorkingSetKiB());
    PointerAt(wizard, POINT{0, 0});
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
        if (before != after ||
            measurerBefore->Width(*wizard.font->logfont, Utf8ToWide(text, length)) != after)
            std::printf("MISMATCH: \"%s\" %.0f through the text style, %.0f measured\n", text, before, after);
    }
    const char text[] = "包含目录: C:\\Program Files\\Microsoft Visual Studio";
    const int length = static_cast<int>(sizeof text - 1);
    Time("GuiTextWidth, through the text style (before)", 200, 50,
         [&] { WidthThroughTextStyle(wizard.font->logfont, text, length); });
    Time("GuiTextWidth, one call, before (font selected per call)", 200, 50,
         [&] { measurerBefore->Width(*wizard.font->logfont, Utf8ToWide(text, length)); });
    // Two texts in turn, so that no call is answered from the prefix widths of the one before.
    const char other[] = "库目录: C:\\Program Files\\Microsoft Visual Studio\\VC";
    const int otherLength = static_cast<int>(sizeof other - 1);
    bool first = true;
    Time("GuiTextWidth, one call, after (widths kept per text)", 200, 50,
         [&]
         {
             first = !first;
             GuiTextWidth(nk_handle_ptr(wizard.font), 0, first ? text : other, first ? length : otherLength);
         });
    // What Nuklear asks to clamp one overflowing 230-pixel info line: the whole text twice, then each prefix
    // until one is too wide.
    const std::string line =
        WideToUtf8(L"头文件路径 C:\\Program Files\\Microsoft Visual Studio\\2022\\Community\\VC");
    const nk_user_font& font = wizard.font->description;
    const int total = static_cast<int>(line.size());
    const auto clamp = [&]
    {
        font.width(font.userdata, 17, line.data(), total);
        font.width(font.userdata, 17, line.data(), total);
        int prefix = 0;
        float width = 0;
        nk_rune rune;
        while (prefix < total && width < 230)
        {
            prefix += nk_utf_decode(line.data() + prefix, &rune, total - prefix);
            width = font.width(font.userdata, 17, line.data(), prefix);
        }
    };
    for (bool before : {true, false})
        WithMeasurement(wizard, before,
                        [&]
                        {
                            Time(std::string("clamping one overflowing info line, ") +
                                     (before ? "before" : "after"),
                                 200, 20, clamp);
                        });
}

// From CreateProcess of gravo-setup.exe to its first frame on the screen (the welcome page's blue strip
// under the window's client corner); the program is ended then.
void BenchStartup(const std::wstring& setupExe)
{
    std::vector<double> samples;
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 15; ++i)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + setupExe + L"\"";
        const double start = Now();
        if (!CreateProcessW(setupExe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
        {
            std::printf("(gravo-setup.exe could not be started)\n");
            break;
        }
        UniqueHandle processHandle(process.hProcess);
        UniqueHandle threadHandle(process.hThread);
        double shown = -1;
        while (shown < 0 && Now() - start < 30)
        {
            HWND window = FindWindowW(L"GravoWnd", L"Gravo 26.1.1 安装向导");
            POINT corner = {10, 10};
            if (window != nullptr && ClientToScreen(window, &corner) &&
                GetPixel(screen, corner.x, corner.y) == RGB(33, 23, 129))
                shown = Now();
            else
                Sleep(1);
        }
        TerminateProcess(processHandle.get(), 0);
        WaitForSingleObject(processHandle.get(), 10000);
        if (shown < 0)
        {
            std::printf("(no first frame seen)\n");
            break;
        }
        samples.push_back((shown - start) * 1000.0);
    }
    ReleaseDC(nullptr, screen);
    if (!samples.empty())
        Record("start-up to the first frame on screen", "ms", samples);
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
    std::printf("Figures of the %s build\n", sizeof(void*) == 8 ? "x86_64" : "i686");
    std::printf("%-58s %12s %12s %-8s %6s\n", "figure", "median", "p95", "unit", "reps");
    {
        WizardWindow wizard;
        MeasurerBefore before;
        measurerBefore = &before;
        currentPage = 1;
        // The button "下一步 >" hovered and not.
        BenchFrames(wizard, "welcome page", POINT{300, 300}, POINT{200, 200});
        BenchTextWidth(wizard);
        BenchTextCommands(wizard);
        wizard.FillList();
        currentPage = 2;
        // The tooltips of the first line's include folder and the second line's.
        const POINT firstTooltip = {200, 110};
        const POINT secondTooltip = {200, 150};
        BenchFrames(wizard, "list page, 16 lines detected", firstTooltip, secondTooltip);
        BenchWorkingSet(wizard, firstTooltip, secondTooltip);
        currentPage = 1;
        BenchIdle(wizard, "welcome page");
        currentPage = 2;
        BenchIdle(wizard, "list page, 16 lines detected");
        measurerBefore = nullptr;
    }
    if (argc > 2)
        BenchStartup(argv[2]);
    BenchDetection(Record);
    if (argc > 1)
    {
        char path[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, argv[1], -1, path, MAX_PATH, nullptr, nullptr);
        WriteJson(path);
    }
    return 0;
}
