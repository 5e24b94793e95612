// Installs the headers and MinGW static libraries into a probed MinGW tool chain and removes them again.
// The tool chain's row says where; the release folder's fixed MinGW paths say which files.
#pragma once

#include <string>

class EnvironmentTable;

// Empty on success, else the failing step's text: "安装失败_inlcude", "安装失败_lib32" or "安装失败_lib64". A
// release file that is not the build's fails the install before anything is written, with the text of its
// step and its relative path on a line of its own.
std::wstring InstallMingw(const EnvironmentTable& table, int rowIndex);

// "卸载成功" or "卸载失败"; stops at the first file that cannot be deleted.
std::wstring UninstallMingw(const EnvironmentTable& table, int rowIndex);
