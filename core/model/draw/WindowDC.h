#pragma once
// Contexts of a window: the paint context of a paint event, the client context
// (GetDC) and the window context. They draw on the window's back buffer and show it
// when they go away. A client context without a window is the screen context: it
// answers the screen's resolution and size and is used for conversions.

#include "DC.h"

#include <QImage>

class QWidget;

class CPaintDCX : public DCX
{
public:
    // Throws DoxResourceException without a window.
    explicit CPaintDCX(QWidget* window);
    ~CPaintDCX() override;

    QWidget* window() const { return window_; }

private:
    QWidget* window_;
};

class CClientDCX : public DCX
{
public:
    explicit CClientDCX(QWidget* window);
    // The same, then the zoom stored and the pixel mapping applied.
    CClientDCX(QWidget* window, int zoom);
    ~CClientDCX() override;

    QWidget* window() const { return window_; }

private:
    QWidget* window_;
    QImage screen_; // the screen context's stand-in surface
};

class CWindowDCX : public DCX
{
public:
    explicit CWindowDCX(QWidget* window);
    ~CWindowDCX() override;

private:
    QWidget* window_;
};
