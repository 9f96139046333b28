#pragma once

#include <QString>
#include <QStringList>

// Which of several boards on one PC this is ("--court N"): each court keeps its own
// settings, data folder, feed port and caption. Court 1, the one without the option, keeps
// the names every board has always used.
class Court
{
public:
    static constexpr int kHighest = 99;

    Court() = default;
    explicit Court(int number) : number_(number) {}

    // "--court N" or "--court=N" among the program's arguments; court 1 without either.
    // A number outside 1 .. kHighest is an error, said in *error in the board's words.
    static Court fromArguments(const QStringList &arguments, QString *error);

    int number() const { return number_; }
    // The name the settings and the data folder are kept under.
    QString applicationName(const QString &base) const;
    // What the caption says after the program's name: empty for court 1.
    QString captionSuffix() const;
    // Courts after the first listen on their own port unless their settings name one.
    int defaultFeedPort(int firstCourtPort) const { return firstCourtPort + number_ - 1; }

private:
    int number_ = 1;
};
