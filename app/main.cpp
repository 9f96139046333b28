#include "app/DlgYesNo.h"
#include "app/HeapTuning.h"
#include "app/Main.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "platform/TickCounter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    keepFreedHeapForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Courtlyx"));
    const SystemTickSource ticks;
    const ScreenMonitorSource monitors;
    DesktopShell shell;
    TFormMain FormMain(ticks, monitors, shell);
    // The window is created first and must not need the dialog while it is created.
    auto *FDlgYesNo = new TFDlgYesNo(&FormMain);
    FormMain.setConfirmationDialog(FDlgYesNo);
    FormMain.show();
    return app.exec();
}
