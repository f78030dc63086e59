// Move-only owners for the Win32 handles the program holds.
#pragma once
#include <windows.h>

#include <utility>

namespace zentrok {

template <typename T, typename Close, T Invalid>
class Owned {
public:
    Owned() = default;
    explicit Owned(T h) : h_(h) {}
    Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, Invalid)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) Reset(std::exchange(other.h_, Invalid));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { Reset(); }

    T Get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid; }
    void Reset(T h = Invalid)
    {
        if (h_ != Invalid) Close{}(h_);
        h_ = h;
    }

private:
    T h_ = Invalid;
};

struct CloseWindow { void operator()(HWND h) const { DestroyWindow(h); } };
struct CloseMenu { void operator()(HMENU h) const { DestroyMenu(h); } };
struct CloseGdi { void operator()(HGDIOBJ h) const { DeleteObject(h); } };

// INVALID_HANDLE_VALUE isn't a constant expression; files and finds use a null-initialised wrapper.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    FileHandle(FileHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Closes now and tells whether the close succeeded.
    bool Close() { return h_ ? CloseHandle(std::exchange(h_, nullptr)) != 0 : true; }

private:
    HANDLE h_;
};

struct CloseDc { void operator()(HDC h) const { DeleteDC(h); } };
using MemoryDc = Owned<HDC, CloseDc, nullptr>;

// A search of FindFirstFile, ended with FindClose.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() { if (h_ != INVALID_HANDLE_VALUE) FindClose(h_); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// A window's device context from GetDC (nullptr: the screen's), given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The painting of a WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &ps_); }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a device context for a scope; the one before goes back at its end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection()
    {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

using WindowHandle = Owned<HWND, CloseWindow, nullptr>;
using MenuHandle = Owned<HMENU, CloseMenu, nullptr>;
using FontHandle = Owned<HFONT, CloseGdi, nullptr>;
using BitmapHandle = Owned<HBITMAP, CloseGdi, nullptr>;

struct CloseKernelObject { void operator()(HANDLE h) const { CloseHandle(h); } };
using EventHandle = Owned<HANDLE, CloseKernelObject, nullptr>;

struct FreeModule { void operator()(HMODULE m) const { FreeLibrary(m); } };
using ModuleHandle = Owned<HMODULE, FreeModule, nullptr>;

// A function of a library loaded at run time, or nullptr.
template <typename F>
F LibraryFunction(HMODULE library, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace zentrok
