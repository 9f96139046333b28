#include "app/Court.h"
#include "app/DataFolderLock.h"
#include "app/DlgYesNo.h"
#include "app/HeapTuning.h"
#include "app/Main.h"
#include "core/MatchJournal.h"
#include "platform/Monitors.h"
#include "platform/Shell.h"
#include "platform/TickCounter.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    keepFreedHeapForReuse();
    QApplication app(argc, argv);
    QString wrongCourt;
    const Court court = Court::fromArguments(QApplication::arguments(), &wrongCourt);
    const QString caption = QStringLiteral("Courtlyx") + court.captionSuffix();
    if (!wrongCourt.isEmpty()) {
        qWarning("%s", qPrintable(wrongCourt));
        QMessageBox::critical(nullptr, caption, wrongCourt);
        return 2;
    }
    // Each court keeps its settings and data folder under a name of its own.
    QApplication::setApplicationName(court.applicationName(QStringLiteral("Courtlyx")));
    // Taken before the window, which reads the journal and starts the feed.
    DataFolderLock lock(MatchJournal::defaultFolder());
    if (!lock.take()) {
        const QString why = lock.refusal(court);
        qWarning("%s", qPrintable(why));
        QMessageBox::warning(nullptr, caption, why);
        return 3;
    }
    const SystemTickSource ticks;
    const ScreenMonitorSource monitors;
    DesktopShell shell;
    TFormMain FormMain(ticks, monitors, shell, TitleFilePlace::ofThisProgram(), court);
    // The window is created first and must not need the dialog while it is created.
    auto *FDlgYesNo = new TFDlgYesNo(&FormMain);
    FormMain.setConfirmationDialog(FDlgYesNo);
    FormMain.show();
    return app.exec();
}
