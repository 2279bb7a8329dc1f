#pragma once
// The wait cursor for the length of a scope (a step that keeps the user waiting:
// opening, saving, printing, reading the printers). Scopes nest.

#include <QGuiApplication>

namespace plat
{

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace plat
