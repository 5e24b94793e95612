#include "FakeInstallations.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace FakeInstallations
{

void CopyProgram(const std::wstring& program, const std::wstring& target)
{
    const std::wstring folder = target.substr(0, target.rfind(L'\\'));
    TestSupport::MakeFolders(folder);
    const std::wstring source = TestSupport::ProgramFolder() + program;
    ASSERT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE)) << "cannot copy the helper program";
}

void MakeFolders(const std::wstring& root, std::initializer_list<const wchar_t*> folders)
{
    for (const wchar_t* folder : folders)
        TestSupport::MakeFolders(root + folder);
}

void MakeFiles(const std::wstring& root, std::initializer_list<const wchar_t*> files)
{
    for (const wchar_t* file : files)
        TestSupport::WriteTextFile(root + file, "");
}

std::string GccReport(const std::wstring& reportName)
{
    const std::string report =
        TestSupport::ReadTextFile(TestSupport::ProgramFolder() + L"gcc-v\\" + reportName);
    EXPECT_FALSE(report.empty()) << "missing report in the build folder's gcc-v folder";
    return report;
}

void InstallStandInGccWithReport(const std::wstring& binDir, const std::string& report)
{
    CopyProgram(L"gcc.exe", binDir + L"gcc.exe");
    TestSupport::WriteTextFile(binDir + L"gcc-report.txt", report);
}

void InstallStandInGcc(const std::wstring& binDir, const std::wstring& reportName)
{
    InstallStandInGccWithReport(binDir, reportName.empty() ? std::string() : GccReport(reportName));
}

} // namespace FakeInstallations
