#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

bool DesktopShell::open(const QString &target, ShowCommand show)
{
#ifdef Q_OS_WIN
    // Above 32 is success, as the call has always answered.
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(target.utf16()),
                                                   L"", nullptr, int(show)))
        > 32;
#else
    Q_UNUSED(show); // the desktop decides how the opened program shows
    const QFileInfo file(target);
    return QDesktopServices::openUrl(file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                   : QUrl::fromUserInput(target));
#endif
}
