// GDI+ starts on a loader without the LOAD_LIBRARY_SEARCH_* flags (Windows 7 without its loader update),
// which the test imitates by pointing the program's import of LoadLibraryExW at a stand-in.
#include "graphwin/GdiplusSession.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
using LoadLibraryExFunction = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
LoadLibraryExFunction realLoadLibraryEx = nullptr;
const DWORD searchFlags = 0x1F00; // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR to LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

// What the old loader answers to the search flags.
HMODULE WINAPI LoadLibraryExWithoutSearchFlags(LPCWSTR name, HANDLE file, DWORD flags)
{
    if ((flags & searchFlags) != 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return realLoadLibraryEx(name, file, flags);
}

// Points one slot of this program's import table at a replacement until it ends. The library is linked
// into the program, so its calls go through the same slot.
class ImportPatch
{
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0 && slot == nullptr; ++module)
        {
            if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0)
            {
                continue;
            }
            const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots)
            {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                {
                    continue;
                }
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                {
                    slot = &slots->u1.Function;
                    original = *slot;
                    Write(reinterpret_cast<ULONG_PTR>(replacement));
                    break;
                }
            }
        }
    }
    ~ImportPatch()
    {
        if (slot != nullptr)
        {
            Write(original);
        }
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Patched() const { return slot != nullptr; }
    ULONG_PTR Original() const { return original; }

private:
    void Write(ULONG_PTR value)
    {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
    }

    decltype(IMAGE_THUNK_DATA::u1.Function)* slot = nullptr;
    ULONG_PTR original = 0;
};

TEST(GdiplusSessionTest, StartsOnALoaderWithoutSearchFlags)
{
    ImportPatch patch("kernel32.dll", "LoadLibraryExW",
                      reinterpret_cast<void*>(&LoadLibraryExWithoutSearchFlags));
    ASSERT_TRUE(patch.Patched());
    realLoadLibraryEx = reinterpret_cast<LoadLibraryExFunction>(patch.Original());
    // The stand-in refuses what Windows 7 without the update refuses.
    EXPECT_EQ(LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), nullptr);

    Gravo::GdiplusSession session;
    EXPECT_TRUE(session.Started());
}

TEST(GdiplusSessionTest, StartsAndLoadsGdiplusFromTheSystemFolder)
{
    Gravo::GdiplusSession session;
    EXPECT_TRUE(session.Started());
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(GetModuleHandleW(L"gdiplus.dll"), path, MAX_PATH);
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, wcslen(system)), 0) << path;
}
} // namespace
