#pragma once

#include <QApplication>
#include <QSettings>
#include <QString>

// A benchmark child reads and writes its settings in the folder its parent made, never in
// the user's own.
inline void useChildSettings(const char *folder)
{
    QApplication::setApplicationName(QStringLiteral("Courtlyx"));
    const QString dir = QString::fromLocal8Bit(folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}
