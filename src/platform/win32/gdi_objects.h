#pragma once
// One small owner per kind of GDI resource the splash window uses.
#include "common/unique_handle.h"

#include <windows.h>

// BeginPaint ... EndPaint around one WM_PAINT.
class PaintContext {
public:
    explicit PaintContext(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;
    ~PaintContext() { EndPaint(window_, &paint_); }
    HDC handle() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// A memory device context; invalid when it could not be made.
using MemoryContext = UniqueHandle<HDC, DeleteDC>;
using Bitmap = UniqueHandle<HBITMAP, DeleteObject>;

// An object selected into a device context; the one it replaced goes back in.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(dc ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (replaced_ && replaced_ != HGDI_ERROR)
            SelectObject(dc_, replaced_);
    }

private:
    HDC dc_;
    HGDIOBJ replaced_;
};
