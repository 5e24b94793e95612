// Installs the headers and import libraries into a detected Visual C++ environment and removes them again.
// The row of the environment table says where; the payload manifest says which release files.
#pragma once

#include <string>

class EnvironmentTable;
struct VcToolsetRow;

// Empty on success, else "安装失败". A release file that is not the build's fails the install before anything
// is written, and its relative path follows the text on a line of its own. Stops at the first failed copy;
// earlier copies stay.
std::wstring InstallVisualCpp(const EnvironmentTable& table, int rowIndex);

// "卸载成功" or "卸载失败"; stops at the first file that cannot be deleted.
std::wstring UninstallVisualCpp(const EnvironmentTable& table, int rowIndex);

// Deletes the library's files that earlier installs left in the default MSVC tool set folder of a Visual
// Studio 2017 or 2019 row; install and uninstall run it first. Files that are not the library's (a foreign
// graphics.h) stay, and every other row is left alone.
void RemoveStaleToolsetCopies(const VcToolsetRow& row);
