#include "app/FormatDisplay.h"

#include "app/BoardFonts.h"
#include "app/BoardLayout.h"
#include "app/ColourScheme.h"
#include "app/WidgetColours.h"
#include "core/MatchScore.h"
#include "controls/Label3D.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// In the figure's top right corner, clear of a centred one- or two-digit games figure and
// inside its 1-pixel frame.
constexpr QRect kMarkPlace{38, 2, 15, 15};

} // namespace

FormatDisplay::FormatDisplay(BoardLayout &layout, const MatchScore &score, std::function<TColor(int)> colour)
    : layout_(layout), score_(score), colour_(std::move(colour))
{
    const QFont markFont = boardFont(QStringLiteral("Arial"), 13, true);
    for (int i = 0; i < 10; ++i) {
        TLabel3D *games = (i < 5 ? layout_.S1 : layout_.S2)[i % 5];
        auto *mark = new QLabel(games);
        mark->setObjectName(games->objectName() + QStringLiteral("_TB"));
        mark->setGeometry(kMarkPlace);
        mark->setFont(markFont);
        mark->setAlignment(Qt::AlignRight | Qt::AlignTop);
        // A click on the mark is a click on the games figure.
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->hide();
        marks_[i] = mark;
    }
}

void FormatDisplay::setShowTieBreakPoints(bool on)
{
    showTieBreakPoints_ = on;
    showTieBreakMarks();
}

QLabel *FormatDisplay::tieBreakMark(int side, int set) const
{
    return marks_[(side - 1) * 5 + set - 1];
}

void FormatDisplay::showTieBreakMarks()
{
    for (int set = 1; set <= MatchScore::kMaxSets; ++set) {
        const int loserPoints = score_.tieBreakLoserPoints(set);
        const int g1 = score_.games(1, set);
        const int g2 = score_.games(2, set);
        // The mark stands beside the loser's games, as on a printed result (7:6 with 6⁵).
        const int loser = loserPoints < 0 || g1 == g2 ? 0 : g1 < g2 ? 1 : 2;
        for (int side : {1, 2}) {
            QLabel *mark = tieBreakMark(side, set);
            const bool shown = showTieBreakPoints_ && side == loser;
            if (shown) {
                mark->setText(QString::number(loserPoints));
                const TLabel3D *games = (side == 1 ? layout_.S1 : layout_.S2)[set - 1];
                setTextColour(mark, games->FontColor());
            }
            mark->setVisible(shown);
        }
    }
}

void FormatDisplay::showDecidingPoint()
{
    const bool on = score_.decidingPoint();
    for (int side : {1, 2}) {
        TLabel3D *points = side == 1 ? layout_.eSchet1 : layout_.eSchet2;
        points->setCaption(on ? QLatin1String(kDecidingPointText)
                              : score_.field(MatchScore::pointsEntry(side)).Text);
    }
}

void FormatDisplay::showWinner()
{
    const int winner = score_.matchOver() ? score_.matchWinner() : 0;
    for (int side : {1, 2}) {
        const TColor c = colour_(side == winner ? ColourScheme::kTextHi : ColourScheme::kText);
        (side == 1 ? layout_.LName1 : layout_.LName2)->setFontColor(c);
        setTextColour(side == 1 ? layout_.eName1 : layout_.eName2, c);
    }
}
