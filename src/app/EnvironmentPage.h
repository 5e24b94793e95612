// Page 2 of the wizard: the environment list the detection pass built, with install, uninstall and
// folder choice on each line, the result popup, and the footer with "< 上一步" and "关闭".
#pragma once

#include "discovery/EnvironmentTable.h"
#include "guibackend/PageFont.h"
#include "guibackend/NuklearConfig.h"

#include <string>

// The popup's answer to a chosen folder that the install's walk refuses.
inline constexpr const wchar_t* untrustedFolderText = L"目录不可信（网络或链接）";

class EnvironmentPage : public EnvironmentTable
{
public:
    EnvironmentPage(nk_context* context, int width, int height);

    // Builds the page for this frame; writes 1 through page for "< 上一步" and 0 through running for "关闭".
    void Draw(int* running, int* page);

    // The shell's folder dialog: the chosen folder, or empty when cancelled.
    virtual std::wstring ChooseFolder();
    // The examinations of a chosen folder: AdoptChosenVcDir walking up, and ProbeMingwEnvironment for the
    // entry's row on a 32-bit host (0 nothing found, -1 refused, else accepted).
    virtual int ExamineVisualCppFolder(const std::wstring& folder, EnvListEntry& entry);
    virtual int ExamineMingwFolder(const std::wstring& folder, EnvListEntry& entry);
    // The documentation line's shortcut on the user's desktop (InstallDocumentation, UninstallDocumentation).
    virtual std::wstring InstallDocumentationShortcut();
    virtual std::wstring UninstallDocumentationShortcut();

    // What the line's buttons do; each runs synchronously and opens the result popup where it says so.
    void Install(const EnvListEntry& entry);
    void Uninstall(const EnvListEntry& entry);
    void Choose(EnvListEntry& entry);

    std::wstring resultText;
    bool resultPopupOpen = false;

private:
    void DrawHeader();
    void DrawList(const nk_style_button& style);
    void DrawRow(EnvListEntry& entry, const nk_style_button& style, float lineHeight, bool listHovered);
    void DrawResultPopup(const nk_style_button& style);
    void DrawFooter(const nk_style_button& style, int* running, int* page);

    nk_context* context_;
    int width_;
    int height_;
    PageFont titleFont_{};
};
