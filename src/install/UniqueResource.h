// Small RAII owners for the Win32 handles of the installation engine and discovery: each owner knows the one
// call that releases its kind of handle, so a handle is released on every path and never with the wrong call.
#pragma once

#include <windows.h>

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

struct FindHandleTraits
{
    using pointer = HANDLE;
    static pointer Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(pointer handle) { FindClose(handle); }
};

struct KernelHandleTraits
{
    using pointer = HANDLE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer handle) { CloseHandle(handle); }
};

struct RegistryKeyTraits
{
    using pointer = HKEY;
    static pointer Empty() { return nullptr; }
    static void Close(pointer key) { RegCloseKey(key); }
};

struct ModuleTraits
{
    using pointer = HMODULE;
    static pointer Empty() { return nullptr; }
    static void Close(pointer module) { FreeLibrary(module); }
};

using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueRegKey = UniqueResource<RegistryKeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;

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
