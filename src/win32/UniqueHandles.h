// The owners of every kind of Win32 handle the wizard and its libraries hold: one traits record per kind
// names its empty value and the one call that releases it, so a handle is released on every path and never
// with the wrong call. Header-only; needs <windows.h>, and bcrypt.lib only where a hashing owner is used.
#pragma once

#include <windows.h>

#include <bcrypt.h>

#include <utility>

template <typename Traits> class UniqueResource
{
public:
    using pointer = typename Traits::pointer;

    UniqueResource() = default;
    explicit UniqueResource(pointer value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    pointer get() const { return value_; }
    bool valid() const { return value_ != Traits::Empty(); }
    explicit operator bool() const { return valid(); }
    pointer release() { return std::exchange(value_, Traits::Empty()); }
    void reset(pointer value = Traits::Empty())
    {
        if (valid())
            Traits::Close(value_);
        value_ = value;
    }
    // For functions that return a handle through an out parameter.
    pointer* put()
    {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::Empty();
};

struct RegistryKeyTraits
{
    using pointer = HKEY;
    static pointer Empty() { return nullptr; }
    static void Close(pointer key) { RegCloseKey(key); }
};

struct FindHandleTraits
{
    using pointer = HANDLE;
    static pointer Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer handle) { FindClose(handle); }
};

// Events, threads, processes, pipes, jobs, tokens: empty is null.
struct KernelHandleTraits
{
    using pointer = HANDLE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer handle) { CloseHandle(handle); }
};

// CreateFileW's handles: empty is INVALID_HANDLE_VALUE.
struct FileHandleTraits
{
    using pointer = HANDLE;
    static pointer Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer handle) { CloseHandle(handle); }
};

struct DesktopTraits
{
    using pointer = HDESK;
    static pointer Empty() { return nullptr; }
    static void Close(pointer desktop) { CloseDesktop(desktop); }
};

struct ModuleTraits
{
    using pointer = HMODULE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer module) { FreeLibrary(module); }
};

struct MemoryDcTraits
{
    using pointer = HDC;
    static pointer Empty() { return nullptr; }
    static void Close(pointer dc) { DeleteDC(dc); }
};

// Memory a Win32 call allocated with LocalAlloc (security descriptors, converted SDDL strings).
struct LocalMemoryTraits
{
    using pointer = HLOCAL;
    static pointer Empty() { return nullptr; }
    static void Close(pointer memory) { LocalFree(memory); }
};

// A block of global memory (GlobalAlloc), for the clipboard: freed unless the clipboard took it.
struct GlobalMemoryTraits
{
    using pointer = HGLOBAL;
    static pointer Empty() { return nullptr; }
    static void Close(pointer block) { GlobalFree(block); }
};

struct IconTraits
{
    using pointer = HICON;
    static pointer Empty() { return nullptr; }
    static void Close(pointer icon) { DestroyIcon(icon); }
};

// The system's hashing: an algorithm provider and a hash object made from it.
struct HashAlgorithmTraits
{
    using pointer = BCRYPT_ALG_HANDLE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
};

struct HashObjectTraits
{
    using pointer = BCRYPT_HASH_HANDLE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer hash) { BCryptDestroyHash(hash); }
};

template <typename Object> struct GdiObjectTraits
{
    using pointer = Object;
    static pointer Empty() { return nullptr; }
    static void Close(pointer object) { DeleteObject(object); }
};

using UniqueRegKey = UniqueResource<RegistryKeyTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueDesktop = UniqueResource<DesktopTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
using UniqueGlobalMemory = UniqueResource<GlobalMemoryTraits>;
using UniqueIcon = UniqueResource<IconTraits>;
using UniqueHashAlgorithm = UniqueResource<HashAlgorithmTraits>;
using UniqueHashObject = UniqueResource<HashObjectTraits>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits<HGDIOBJ>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;

// A window's DC from GetDC, given back with ReleaseDC to the same window.
class UniqueWindowDc
{
public:
    UniqueWindowDc() = default;
    explicit UniqueWindowDc(HWND window) : window_(window), dc_(window != nullptr ? GetDC(window) : nullptr)
    {
    }
    ~UniqueWindowDc() { reset(); }
    UniqueWindowDc(UniqueWindowDc&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr))
    {
    }
    UniqueWindowDc& operator=(UniqueWindowDc&& other) noexcept
    {
        reset();
        window_ = std::exchange(other.window_, nullptr);
        dc_ = std::exchange(other.dc_, nullptr);
        return *this;
    }
    UniqueWindowDc(const UniqueWindowDc&) = delete;
    UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
        window_ = nullptr;
        dc_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// A COM interface pointer, released when the owner ends.
template <typename Interface> class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void reset()
    {
        if (pointer_ != nullptr)
            pointer_->Release();
        pointer_ = nullptr;
    }
    // For CoCreateInstance and QueryInterface.
    void** put_void()
    {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }

private:
    Interface* pointer_ = nullptr;
};

// A process-creation attribute list (STARTUPINFOEXW::lpAttributeList) with room for `count` attributes,
// deleted when the owner ends; null when it could not be made.
class ProcThreadAttributeList
{
public:
    explicit ProcThreadAttributeList(DWORD count)
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, count, 0, &size);
        buffer_ = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(HeapAlloc(GetProcessHeap(), 0, size));
        if (buffer_ != nullptr && !InitializeProcThreadAttributeList(buffer_, count, 0, &size))
        {
            HeapFree(GetProcessHeap(), 0, buffer_);
            buffer_ = nullptr;
        }
    }
    ~ProcThreadAttributeList()
    {
        if (buffer_ == nullptr)
            return;
        DeleteProcThreadAttributeList(buffer_);
        HeapFree(GetProcessHeap(), 0, buffer_);
    }
    ProcThreadAttributeList(const ProcThreadAttributeList&) = delete;
    ProcThreadAttributeList& operator=(const ProcThreadAttributeList&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return buffer_; }

private:
    LPPROC_THREAD_ATTRIBUTE_LIST buffer_ = nullptr;
};

// SelectObject for a scope: the previous object of the same kind is selected again when the scope ends.
class ScopedSelect
{
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
