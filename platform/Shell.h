#pragma once

#include <QString>

// How the opened program's window shows, as Windows' ShowWindow codes name it.
enum class ShowCommand { Restore = 9, ShowMaximized = 3 };

// Asks the desktop to "open" a document or a web address, as a double click would. Only
// whether a program could be started for it is reported: the board never waits for or
// checks what was launched.
class Shell
{
public:
    virtual ~Shell() = default;
    // False when no program could be started to open it (no file manager, no browser).
    virtual bool open(const QString &target, ShowCommand show) = 0;
};

class DesktopShell final : public Shell
{
public:
    bool open(const QString &target, ShowCommand show) override;
};
