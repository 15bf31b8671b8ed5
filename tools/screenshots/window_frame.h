#pragma once
// Draws a window as the desktop shows it: the widget's own picture inside a
// plain frame with a title bar carrying the window title, on a backdrop.
#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

// The widget (shown offscreen first) framed with its title on a backdrop.
QImage FramedWindow(QWidget& window);
// Where the window's client area starts inside FramedWindow's picture.
QPoint FramedClientOffset();
// A backdrop of the given size for scenes without a window of their own.
QImage Backdrop(int width, int height);
// Copies picture onto canvas at topLeft with a soft shadow, as the desktop
// draws popup windows.
void DrawPopup(QImage& canvas, const QImage& picture, QPoint topLeft);
// Draws the mouse pointer with its tip at point.
void DrawPointer(QImage& canvas, QPoint point);
