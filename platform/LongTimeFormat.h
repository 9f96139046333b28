#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The user's long time format without the time-zone designator that Qt adds on
// Linux and the Windows format lacks.
QString longTimeFormat(const QLocale &locale = QLocale::system());

QString formatLongTime(QTime time, const QLocale &locale = QLocale::system());
