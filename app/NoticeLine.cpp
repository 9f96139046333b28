#include "app/NoticeLine.h"

#include "app/BoardFonts.h"
#include "app/WidgetColours.h"
#include "core/BoardModel.h"

#include <QEvent>
#include <QLabel>
#include <QStringList>

namespace {
// Between the tie-break mark and the logo, below the names: nothing else is drawn there.
constexpr QRect kPlace(100, 470, 508, 74);
constexpr TColor kGround = 0x000080; // dark red: seen at once, not mistaken for a score
}

NoticeLine::NoticeLine(QWidget &window, BoardModel &model)
{
    label_ = new QLabel(&window);
    label_->setObjectName(QStringLiteral("LNotice"));
    label_->setGeometry(kPlace);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_->setMargin(3);
    label_->setFont(boardFont(QStringLiteral("Arial"), 12));
    label_->setTextFormat(Qt::PlainText);
    label_->setAutoFillBackground(true);
    setGround(label_, kGround);
    setTextColour(label_, clWhite);
    label_->setToolTip(QStringLiteral("Ein Klick nimmt den Hinweis zur Wiederherstellung weg"));
    label_->installEventFilter(this);
    label_->hide();
    connect(&model, &BoardModel::journalProblem, this, [this](const QString &text) { say(Source::Journal, text); });
    connect(&model, &BoardModel::restoreNotice, this, [this](const QString &text) { say(Source::Restore, text); });
    // What a restore brought back is old news once the operator goes on; the set-up the
    // board applies by itself (a full-screen start, typing sent) is not the operator's command.
    connect(&model, &BoardModel::commandComing, this, [this] { say(Source::Restore, {}); });
    say(Source::Restore, model.restoreNote());
}

void NoticeLine::say(Source source, const QString &text)
{
    if (text.isEmpty())
        texts_.erase(source);
    else
        texts_[source] = text;
    show();
}

QString NoticeLine::text() const
{
    QStringList lines;
    for (const auto &[source, text] : texts_)
        lines << text;
    return lines.join(u'\n');
}

void NoticeLine::show()
{
    label_->setText(text());
    label_->setVisible(!texts_.empty());
    if (!texts_.empty())
        label_->raise();
}

bool NoticeLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == label_ && event->type() == QEvent::MouseButtonPress)
        say(Source::Restore, {});
    return QObject::eventFilter(watched, event);
}
