#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The user's long time format without the time-zone designator that Qt adds on
// Linux and the Windows format lacks.
QString longTimeFormat(const QLocale &locale = QLocale::system());

// A time format with every unquoted run of 't' dropped, with the blanks that joined it to
// the rest; quoted text stays as written.
QString withoutTimeZone(const QString &format);

QString formatLongTime(QTime time, const QLocale &locale = QLocale::system());
