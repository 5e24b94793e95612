// Fake installation trees for the discovery tests: helper programs built next to the tests (versioned
// stand-ins for cl.exe and devcpp.exe, a stand-in gcc) copied into scratch folders, and tool chain layouts.
#pragma once

#include <initializer_list>
#include <string>

namespace FakeInstallations
{

// Copies the helper program (e.g. L"versioned-19.29.exe", L"unversioned.exe") to target, making its folders.
void CopyProgram(const std::wstring& program, const std::wstring& target);
// Creates each folder (relative to root) and its parents.
void MakeFolders(const std::wstring& root, std::initializer_list<const wchar_t*> folders);
// Creates each (empty) file relative to root.
void MakeFiles(const std::wstring& root, std::initializer_list<const wchar_t*> files);

// The stand-in gcc.exe in binDir, printing the named report of the gcc -v collection (L"" for none).
void InstallStandInGcc(const std::wstring& binDir, const std::wstring& reportName);
// The stand-in gcc.exe in binDir, printing `report`.
void InstallStandInGccWithReport(const std::wstring& binDir, const std::string& report);
// The text of a report of the gcc -v collection.
std::string GccReport(const std::wstring& reportName);

} // namespace FakeInstallations
