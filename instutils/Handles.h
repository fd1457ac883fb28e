// Owning wrappers for Win32 handles and COM pointers.
//
// Every handle the program opens is held by one of these, so no early return
// leaks a handle and none is closed twice. They are move-only. Handles whose
// "no handle" value is INVALID_HANDLE_VALUE (files, find handles) and those
// whose "no handle" value is NULL (modules, keys, GDI objects) are distinct
// types, so a failed CreateFileA can never be mistaken for a valid NULL.
// reset() keeps the thread's last-error value, so a caller can close a handle
// on a failure path and still report why the call before it failed.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace qwp {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : value_(Traits::Invalid()) {}
    explicit UniqueHandle(Type value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Closes the held handle, if any, and takes the new one. The last-error
    // value seen before the call is seen after it.
    void reset(Type value = Traits::Invalid()) noexcept {
        if (valid()) {
            const DWORD lastError = GetLastError();
            Traits::Close(value_);
            SetLastError(lastError);
        }
        value_ = value;
    }

    Type release() noexcept {
        Type value = value_;
        value_ = Traits::Invalid();
        return value;
    }

private:
    Type value_;
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { FindClose(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { RegCloseKey(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { FreeLibrary(h); }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { DeleteObject(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { DestroyIcon(h); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;      // CreateFileA
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;  // processes, threads
using UniqueFind = UniqueHandle<FindHandleTraits>;      // FindFirstFileA
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;        // LoadLibraryA
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;            // CreateIcon*, not LoadIcon

// Selects an object into a device context and selects the previous one back
// when it goes out of scope. It keeps its own copy of the DC.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectGuard() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context (the screen's for a NULL window), released when
// it goes.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another (with the screen for
// NULL), deleted when it goes.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible = nullptr) noexcept : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// Saves the whole state of a device context (colours, font, pen, brush,
// modes) and restores it when it goes; it keeps its own copy of the DC.
class DcStateGuard {
public:
    explicit DcStateGuard(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~DcStateGuard() {
        if (dc_ && saved_) RestoreDC(dc_, saved_);
    }
    DcStateGuard(const DcStateGuard&) = delete;
    DcStateGuard& operator=(const DcStateGuard&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Sets a flag for as long as it lives, also when an exception leaves.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// A COM interface pointer that releases its reference.
template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    Interface* get() const noexcept { return p_; }
    Interface* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For the out-parameter of CoCreateInstance and QueryInterface.
    void** put() noexcept {
        reset();
        return reinterpret_cast<void**>(&p_);
    }

    void reset() noexcept {
        if (p_) {
            p_->Release();
            p_ = nullptr;
        }
    }

private:
    Interface* p_ = nullptr;
};

}  // namespace qwp
