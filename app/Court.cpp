#include "app/Court.h"

Court Court::fromArguments(const QStringList &arguments, QString *error)
{
    static const QString option = QStringLiteral("--court");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == option && i + 1 < arguments.size())
            value = arguments[i + 1];
        else if (arguments[i].startsWith(option + u'='))
            value = arguments[i].mid(option.size() + 1);
        else if (arguments[i] != option)
            continue;
        bool ok = false;
        const int n = value.toInt(&ok);
        if (ok && n >= 1 && n <= kHighest)
            return Court(n);
        *error = QStringLiteral("„%1 %2“ ist kein Platz: erlaubt sind die Nummern 1 bis %3.")
                     .arg(option, value)
                     .arg(kHighest);
        return Court();
    }
    return Court();
}

QString Court::applicationName(const QString &base) const
{
    return number_ == 1 ? base : base + QStringLiteral("-Platz-%1").arg(number_);
}

QString Court::captionSuffix() const
{
    return number_ == 1 ? QString() : QStringLiteral(" – Platz %1").arg(number_);
}
