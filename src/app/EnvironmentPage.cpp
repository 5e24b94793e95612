#include "app/EnvironmentPage.h"

#include "app/WelcomePage.h"
#include "app/WizardState.h"
#include "graphwin/gravo.h"
#include "install/DocumentationShortcut.h"
#include "install/MingwInstaller.h"
#include "install/PathTrust.h"
#include "install/VisualCppInstaller.h"
#include "win32/TextConversion.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace
{

const nk_color textColour = nk_rgb(33, 33, 33);
constexpr float tooltipWidth = 340;
constexpr float resultLineHeight = 16;
constexpr float resultPopupMargin = 20;

// The lines of a result text, split at its line feeds.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0;;)
    {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

// A label whose UTF-8 copy lives exactly as long as the widget call.
void LabelColoured(nk_context* context, const std::wstring& text, nk_color colour)
{
    nk_label_colored(context, WideToUtf8(text).c_str(), NK_TEXT_LEFT, colour);
}

// The wrapped full text of an info line, shown while the pointer rests on it. The tooltip grows by one
// line height per 340 pixels of text.
void InfoTooltip(nk_context* context, const std::wstring& line, float rowHeight)
{
    if (nk_tooltip_begin(context, tooltipWidth))
    {
        nk_layout_row_static(context, rowHeight, static_cast<int>(tooltipWidth - 10), 1);
        nk_label_colored_wrap(context, WideToUtf8(line).c_str(), nk_rgb(233, 233, 233));
        nk_tooltip_end(context);
    }
}

} // namespace

EnvironmentPage::EnvironmentPage(nk_context* context, int width, int height)
    : context_(context), width_(width), height_(height)
{
}

void EnvironmentPage::Draw(int* running, int* page)
{
    if (nk_begin(context_, "", nk_rect(0, 0, static_cast<float>(width_), static_cast<float>(height_)),
                 NK_WINDOW_NO_SCROLLBAR))
    {
        DrawHeader();
        const nk_style_button style = MakeButtonStyle(context_);
        nk_layout_row_dynamic(context_, 6, 1);
        const float listRatio[1] = {1.0f};
        nk_layout_row(context_, NK_DYNAMIC, static_cast<float>(height_ - 160), 1, listRatio);
        DrawList(style);
        DrawResultPopup(style);
        DrawFooter(style, running, page);
    }
    nk_end(context_);
}

void EnvironmentPage::DrawHeader()
{
    nk_command_buffer* canvas = nk_window_get_canvas(context_);
    nk_fill_rect(canvas, nk_rect(0, 0, static_cast<float>(width_), 45), 0, nk_rgb(250, 250, 250));
    nk_fill_rect(canvas, nk_rect(0, 45, static_cast<float>(width_), static_cast<float>(height_)), 0,
                 nk_rgb(235, 235, 209));
    nk_layout_row_dynamic(context_, 16, 1);
    const nk_user_font* title = MakePageFont(&titleFont_, context_->style.font, 22, 900, 0, 0);
    DrawFontLabel(context_, "  执行安装", NK_TEXT_LEFT, title, nk_vec2(0, 0), textColour);
    nk_layout_row_dynamic(context_, 1, 1);
    nk_layout_row_dynamic(context_, 16, 1);
    nk_label_colored(context_, "        请针对您所用的开发平台，选择安装或卸载。", NK_TEXT_LEFT, textColour);
    nk_layout_row_dynamic(context_, 8, 1);
    nk_layout_row_dynamic(context_, 16, 1);
    nk_label_colored(context_, "  在下面中找到您所用的开发平台，点击右侧的“安装”将 Gravo 库安装至",
                     NK_TEXT_LEFT, textColour);
    nk_label_colored(context_, "  该开发平台。或点击右侧的“卸载”将 Gravo 库从该开发平台移除。", NK_TEXT_LEFT,
                     textColour);
}

void EnvironmentPage::DrawList(const nk_style_button& style)
{
    context_->style.window.fixed_background.data.color = nk_rgb(235, 235, 209);
    // Taken before the group begins: the bounds of the whole list area.
    const bool listHovered =
        nk_input_is_mouse_hovering_rect(&context_->input, nk_widget_bounds(context_)) != 0;
    if (!nk_group_begin(context_, "group_p2_list", 0))
        return;
    const float lineHeight = static_cast<float>(TextHeight(L"天"));
    for (EnvListEntry* entry : displayList)
        DrawRow(*entry, style, lineHeight, listHovered);
    nk_group_end(context_);
}

void EnvironmentPage::DrawRow(EnvListEntry& entry, const nk_style_button& style, float lineHeight,
                              bool listHovered)
{
    nk_layout_space_begin(context_, NK_STATIC, 35, 5);
    nk_layout_space_push(context_, nk_rect(0, 0, 110, 30));
    LabelColoured(context_, entry.displayName, textColour);
    if (entry.detected)
    {
        const bool tooltips = listHovered && !resultPopupOpen;
        nk_layout_space_push(context_, nk_rect(110, 0, 230, 13));
        const struct nk_rect bounds1 = nk_widget_bounds(context_);
        LabelColoured(context_, entry.infoLine1, textColour);
        if (tooltips && nk_input_is_mouse_hovering_rect(&context_->input, bounds1))
        {
            const float width = static_cast<float>(TextWidth(entry.infoLine1.c_str()));
            InfoTooltip(context_, entry.infoLine1, lineHeight * (width / tooltipWidth + 1.0f));
        }
        nk_layout_space_push(context_, nk_rect(110, 16, 230, 13));
        const struct nk_rect bounds2 = nk_widget_bounds(context_);
        LabelColoured(context_, entry.infoLine2, textColour);
        if (tooltips && nk_input_is_mouse_hovering_rect(&context_->input, bounds2))
        {
            // The second line's tooltip is half a line taller, computed in double precision.
            const double width = TextWidth(entry.infoLine2.c_str());
            InfoTooltip(context_, entry.infoLine2,
                        static_cast<float>(lineHeight * (width / tooltipWidth + 1.5)));
        }
        nk_layout_space_push(context_, nk_rect(width_ - 135.0f, 0, 45, 30));
        if (nk_button_label_styled(context_, &style, "安装"))
            Install(entry);
        nk_layout_space_push(context_, nk_rect(width_ - 85.0f, 0, 45, 30));
        if (nk_button_label_styled(context_, &style, "卸载"))
            Uninstall(entry);
    }
    else
    {
        nk_layout_space_push(context_, nk_rect(110, 0, 230, 30));
        nk_label(context_, WideToUtf8(entry.statusText).c_str(), NK_TEXT_LEFT);
        nk_layout_space_push(context_, nk_rect(width_ - 135.0f, 0, 95, 30));
        if (nk_button_label_styled(context_, &style, "选择安装目录"))
            Choose(entry);
    }
    nk_layout_space_end(context_);
}

void EnvironmentPage::DrawResultPopup(const nk_style_button& style)
{
    if (!resultPopupOpen)
        return;
    // A result of several lines (an install that names the release file it refused) widens the popup to
    // the window's width less a margin and lengthens it downwards by one row per extra line.
    const std::vector<std::string> lines = LinesOf(WideToUtf8(resultText));
    struct nk_rect rect = resultPopupRect;
    if (lines.size() > 1)
    {
        rect.x = resultPopupMargin;
        rect.w = static_cast<float>(width_) - 2 * resultPopupMargin;
        rect.h +=
            (resultLineHeight + context_->style.window.spacing.y) * static_cast<float>(lines.size() - 1);
    }
    if (!nk_popup_begin(context_, NK_POPUP_STATIC, "", NK_WINDOW_NO_SCROLLBAR, rect))
    {
        resultPopupOpen = false;
        return;
    }
    nk_layout_row_dynamic(context_, 5, 1);
    for (const std::string& line : lines)
    {
        nk_layout_row_dynamic(context_, resultLineHeight, 1);
        nk_label_colored(context_, line.c_str(), NK_TEXT_CENTERED, textColour);
    }
    nk_layout_row_dynamic(context_, 10, 1);
    nk_layout_row_dynamic(context_, 25, 1);
    if (nk_button_label_styled(context_, &style, "OK"))
    {
        resultPopupOpen = false;
        nk_popup_close(context_);
    }
    nk_popup_end(context_);
}

void EnvironmentPage::DrawFooter(const nk_style_button& style, int* running, int* page)
{
    nk_layout_row_dynamic(context_, 6, 1);
    nk_label_colored(context_, "-- Gravo Install System —————————————————————————————", NK_TEXT_LEFT,
                     nk_rgb(123, 123, 123));
    nk_layout_row_dynamic(context_, 1, 1);
    const FooterButton pressed = DrawFooterButtons(context_, style, width_, 25, 0, "< 上一步", "关闭");
    if (pressed == FooterButton::left)
        *page = 1;
    else if (pressed == FooterButton::right)
        *running = 0;
}

void EnvironmentPage::Install(const EnvListEntry& entry)
{
    std::wstring result;
    if (entry.rowIndex == -1)
        result = InstallDocumentationShortcut();
    else if (entry.isMingw)
        result = InstallMingw(*this, entry.rowIndex);
    else
        result = InstallVisualCpp(*this, entry.rowIndex);
    resultText = result.empty() ? L"安装成功" : result;
    resultPopupOpen = true;
}

void EnvironmentPage::Uninstall(const EnvListEntry& entry)
{
    if (entry.rowIndex == -1)
        resultText = UninstallDocumentationShortcut();
    else if (entry.isMingw)
        resultText = UninstallMingw(*this, entry.rowIndex);
    else
        resultText = UninstallVisualCpp(*this, entry.rowIndex);
    resultPopupOpen = true;
}

void EnvironmentPage::Choose(EnvListEntry& entry)
{
    const std::wstring path = ChooseFolder();
    if (path.empty())
        return;
    // One rule for the list and the install: a folder the install's walk refuses (a remote folder, a link
    // that someone else could have planted or retargeted) is refused here, with the reason, so that its line
    // never says "found" for an install that would then fail.
    if (OpenTrustedFolder(path).trust == FolderTrust::refused)
    {
        resultText = untrustedFolderText;
        resultPopupOpen = true;
        return;
    }
    const int code = entry.isMingw ? ExamineMingwFolder(path, entry) : ExamineVisualCppFolder(path, entry);
    if (code == 0)
    {
        resultText = entry.isMingw ? L"未检测到编译器" : L"未检测到 VS";
    }
    else if (code == -1)
    {
        // A refused tool chain says why in its status; a Visual C++ folder of another generation does not.
        resultText = entry.isMingw ? entry.statusText : L"版本错误，请重新选择对应版本";
    }
    else
    {
        entry.detected = true;
        return;
    }
    resultPopupOpen = true;
}

std::wstring EnvironmentPage::ChooseFolder()
{
    Sleep(100);
    BROWSEINFOW info = {};
    info.hwndOwner = GetForegroundWindow();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_UAHINT;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (item == nullptr)
        return {};
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    return ok ? std::wstring(path) : std::wstring();
}

int EnvironmentPage::ExamineVisualCppFolder(const std::wstring& folder, EnvListEntry& entry)
{
    return AdoptChosenVcDir(folder, entry, true);
}

int EnvironmentPage::ExamineMingwFolder(const std::wstring& folder, EnvListEntry& entry)
{
    return ProbeMingwEnvironment(folder, entry.rowIndex, &entry, false);
}

std::wstring EnvironmentPage::InstallDocumentationShortcut()
{
    return InstallDocumentation();
}

std::wstring EnvironmentPage::UninstallDocumentationShortcut()
{
    return UninstallDocumentation();
}
