#pragma once

#include <QObject>
#include <QString>

#include <map>

class BoardModel;
class QLabel;
class QWidget;

// A small line at the foot of the board for what the operator must know and spectators
// need not: what is not being kept and where it goes instead, or how much a restore
// brought back. Hidden while there is nothing to say, so the board looks as it always did.
class NoticeLine : public QObject
{
    Q_OBJECT

public:
    // Each source has its own text; a new text of a source replaces its old one.
    enum class Source { Journal, Restore, Window, Feed, Broker };

    NoticeLine(QWidget &window, BoardModel &model);

    // An empty text takes the source's notice away.
    void say(Source source, const QString &text);
    QString text() const;
    QLabel *label() const { return label_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();

    QLabel *label_ = nullptr;
    std::map<Source, QString> texts_;
};
