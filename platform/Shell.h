#pragma once

#include <QString>

// How the opened program's window shows, as Windows' ShowWindow codes name it.
enum class ShowCommand { Restore = 9, ShowMaximized = 3 };

// Asks the desktop to "open" a document or a web address, as a double click would. The
// outcome is not reported: the board never waits for or checks what was launched.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void open(const QString &target, ShowCommand show) = 0;
};

class DesktopShell final : public Shell
{
public:
    void open(const QString &target, ShowCommand show) override;
};
