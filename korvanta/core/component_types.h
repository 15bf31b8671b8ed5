#pragma once
// Plain geometry and messages that window components exchange through their
// hooks without naming the window toolkit: points and rectangles in pixels,
// and the mouse messages a component relays to its tooltip control.
#include <string>

// The window a tooltip tool sits on: the platform's window handle (a Qt
// widget underneath), only ever passed along by pointer.
class QWidget;
using WindowHandle = QWidget*;

struct ComponentPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ComponentPoint&) const = default;
};

// Left and top inside, right and bottom the first column and row outside.
struct ComponentRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(ComponentPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const ComponentRect&) const = default;
};

// What a component shows as a tip at a point: the tool's window, the tool's
// rectangle in that window's client coordinates, and the text. It counts as
// found only with a window, a rectangle that is not empty and a text.
struct ToolTipTool {
    WindowHandle window = nullptr;
    ComponentRect rect;
    std::string text;
    bool Found() const { return window != nullptr && !rect.IsEmpty() && !text.empty(); }
};

// The mouse messages relayed to a tooltip control, with the Windows numbers.
enum class MouseMessage : unsigned {
    MouseMove = 0x0200,    // WM_MOUSEMOVE
    LButtonDown = 0x0201,  // WM_LBUTTONDOWN
    LButtonUp = 0x0202,    // WM_LBUTTONUP
    RButtonDown = 0x0204,  // WM_RBUTTONDOWN
    RButtonUp = 0x0205,    // WM_RBUTTONUP
    MouseLeave = 0x02A3,   // WM_MOUSELEAVE
};

struct ToolTipMessage {
    MouseMessage message = MouseMessage::MouseMove;
    ComponentPoint screenPoint;
};
