#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

void DesktopShell::open(const QString &target, ShowCommand show)
{
#ifdef Q_OS_WIN
    ShellExecuteW(nullptr, L"open", reinterpret_cast<LPCWSTR>(target.utf16()), L"", nullptr,
                  int(show));
#else
    Q_UNUSED(show); // the desktop decides how the opened program shows
    const QFileInfo file(target);
    QDesktopServices::openUrl(file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                            : QUrl::fromUserInput(target));
#endif
}
