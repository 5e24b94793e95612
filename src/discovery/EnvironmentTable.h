// The fixed table of development environments: one row per Visual C++ generation and per MinGW-based
// environment, the entries of the environment list, and the operations that fill them (the detection pass,
// the hand-chosen folder examinations). The list page object derives from this table.
#pragma once

#include "discovery/CommandRunner.h"
#include "discovery/RegistryReader.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct VcToolsetRow
{
    std::wstring displayName;
    int version = 0;
    std::wstring rootDir;       // ends with a backslash; empty while not detected
    std::wstring includeSubdir; // the rest are relative to rootDir and end with a backslash
    std::wstring libSubdirX86;
    std::wstring libSubdirX64;
};

// The Visual C++ rows in table order: an index into vcRows.
enum VcRowIndex : int
{
    vc6Row = 0,
    vc2008Row = 1,
    vc2010Row = 2,
    vc2012Row = 3,
    vc2013Row = 4,
    vc2015Row = 5,
    vc2017Row = 6,
    vc2019Row = 7,
    vc2022Row = 8,
    vc2026Row = 9,
};

// The MinGW rows in table order: a row's ideIndex, and its index in mingwRows.
enum IdeIndex : int
{
    devcppIde = 0,
    codeBlocksIde = 1,
    clionIde = 2,
    vscodeIde = 3,
    cfreeIde = 4,
    otherMingwIde = 5,
};

struct MingwToolchainRow
{
    std::wstring displayName;
    int ideIndex = devcppIde;
    std::wstring rootDir;
    std::wstring includeSubdir;
    std::wstring libSubdir32;
    std::wstring libSubdir64;
    bool devcpp54Libs = false;
    bool hasBothLibDirs = false;
};

struct EnvListEntry
{
    int rowIndex = -1; // -1: the documentation entry; else an index into vcRows or (isMingw) mingwRows
    std::wstring displayName;
    std::wstring infoLine1;
    std::wstring infoLine2;
    std::wstring statusText;
    bool detected = false;
    bool isMingw = false;
};

// Puts back what a MinGW row holds at creation: no folders but "include\", both flags off.
void ResetProbedState(MingwToolchainRow& row);

// A detail line of an entry: the label, then base + each subdirectory given, after one blank each
// ("库文件路径 C:\VC\lib\ C:\VC\lib\amd64\").
std::wstring PathLine(const wchar_t* label, const std::wstring& base,
                      const std::vector<std::wstring>& subdirs);

// The detail lines of a Visual C++ row's entry, from the row's folders as they stand (none when the row has
// no root).
void ShowVcRow(const VcToolsetRow& row, EnvListEntry& entry);

// Library subdirectory names of a Visual C++ generation (empty when it has none).
std::wstring LibSubdirX86For(int version);
std::wstring LibSubdirX64For(int version);

class EnvironmentTable
{
public:
    EnvironmentTable();
    virtual ~EnvironmentTable();
    EnvironmentTable(const EnvironmentTable&) = delete;
    EnvironmentTable& operator=(const EnvironmentTable&) = delete;

    // Fills the rows and the list once: documentation, detected Visual C++, detected MinGW, undetected
    // Visual C++, undetected MinGW, other MinGW. The documentation line shows the two texts given.
    void RunDetectionPass(const std::wstring& documentationLine1, const std::wstring& documentationLine2);

    // The ten Visual C++ rows and the six MinGW rows with their initial values (the pass's first steps).
    void CreateRows();

    // A new entry owned by the table; it keeps its address for the table's whole life.
    EnvListEntry* NewEntry();

    // Hand-chosen Visual C++ folder: 0 nothing found (an installation without its include or 32-bit
    // library folder included), -1 another generation, else the generation.
    int AdoptChosenVcDir(std::wstring folder, EnvListEntry& entry, bool walkUp);
    int ResolveVsToolsDir(const std::wstring& vcDir, EnvListEntry& entry);

    // MinGW tool chain probe: 1 supported, -1 refused (entry's statusText says why), 0 none found.
    // An empty directory asks for the registry search; a null entry makes the probe add its own entry.
    int ProbeMingwEnvironment(std::wstring directory, int ideIndex, EnvListEntry* entry, bool hostIs64);
    int ProbeToolchain(std::wstring directory, int ideIndex, EnvListEntry* entry, bool devcppVariant);
    int CheckSupport(EnvListEntry& entry, int bits, const std::wstring& exceptionModel,
                     const std::wstring& crt, const std::wstring& threadModel);

    std::vector<std::unique_ptr<VcToolsetRow>> vcRows;         // 10 after CreateRows, in table order
    std::vector<std::unique_ptr<MingwToolchainRow>> mingwRows; // 6 after CreateRows, by ideIndex
    std::vector<EnvListEntry*> displayList;
    std::vector<EnvListEntry*> detectedList;
    std::vector<EnvListEntry*> undetectedList;

    // How long a tool chain's gcc may run before the probe ends it.
    unsigned long commandTimeoutMs = defaultCommandTimeoutMs;

private:
    // A new entry of a row with the row's display name; undetected ones carry "（未检测到）".
    EnvListEntry* NewRowEntry(int rowIndex, const std::wstring& displayName, bool isMingw, bool detected);
    void DetectVcRow(int rowIndex, bool hostIs64);
    // The row of an entry, or null for an entry that names no row of its kind.
    VcToolsetRow* VcRowOf(const EnvListEntry& entry) const;
    MingwToolchainRow* MingwRowAt(int ideIndex) const;
    // The Uninstall key as the detection pass reads it: walked once, at its first lookup.
    UninstallEntries& PassUninstallEntries(bool hostIs64);

    std::vector<std::unique_ptr<EnvListEntry>> entries_;
    std::optional<UninstallEntries> uninstallEntries_;
};

// Clears the row's directories that do not exist, in the detection pass's order.
void ValidateVcRow(VcToolsetRow& row);

// Visual Studio 2017 and 2019 rows point at "VC\Auxiliary\VS\"; earlier installs put copies into the default
// MSVC tool set folder as well, which install and uninstall clear.
bool HasStaleToolsetCopies(int version);
// That default tool set folder of a row ("VC\Tools\MSVC\<version>\"), named by the first line of
// "Auxiliary\Build\Microsoft.VCToolsVersion.default.txt" when it is a dotted version of digits; empty for
// every other row, and when the file is missing or names no such version.
std::wstring DefaultToolsetDir(const VcToolsetRow& row);
