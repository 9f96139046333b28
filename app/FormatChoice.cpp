#include "app/FormatChoice.h"

#include "app/WidgetColours.h"
#include "core/BoardModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

constexpr TColor kErrorText = 0x0000C0; // dark red, readable on the strip's grey

} // namespace

const std::vector<FormatChoice::Preset> &FormatChoice::presets()
{
    static const std::vector<Preset> list = {
        {QStringLiteral("Standard"), kStandardFormat},
        {QStringLiteral("Match-Tiebreak 10"), kMatchTiebreakFormat},
        {QStringLiteral("No-Ad + Match-Tiebreak (doubles)"), kNoAdMatchTiebreakFormat},
        {QStringLiteral("Final-Set-Tiebreak 10"), kFinalSetTiebreak10Format},
        {QStringLiteral("Short sets to 4"), kShortSetsFormat},
        {QStringLiteral("Fast4"), kFast4Format},
        {QStringLiteral("Pro set to 8"), kProSetFormat},
    };
    return list;
}

FormatChoice::FormatChoice(QWidget &strip, BoardModel &model) : model_(model)
{
    label_ = new QLabel(QStringLiteral("Format:"), &strip);
    label_->setObjectName(QStringLiteral("LabFormat"));
    label_->setGeometry(478, 10, 36, 13);
    cbFormat_ = new QComboBox(&strip);
    cbFormat_->setObjectName(QStringLiteral("cbFormat"));
    cbFormat_->setGeometry(516, 6, 102, 21);
    for (const Preset &p : presets())
        cbFormat_->addItem(p.name);
    // The names are longer than the box; the open list shows them whole.
    cbFormat_->view()->setMinimumWidth(cbFormat_->view()->sizeHintForColumn(0) + 8);
    eFormatCode_ = new QLineEdit(&strip);
    eFormatCode_->setObjectName(QStringLiteral("eFormatCode"));
    eFormatCode_->setGeometry(478, 27, 140, 19);
    cbTBPoints_ = new QCheckBox(QStringLiteral("TB-Punkte"), &strip);
    cbTBPoints_->setObjectName(QStringLiteral("cbTBPoints"));
    cbTBPoints_->setGeometry(478, 47, 68, 16);
    cbTBPoints_->setToolTip(QStringLiteral("Tiebreak-Punkte des Verlierers klein neben den Games"));

    connect(cbFormat_, &QComboBox::activated, this, &FormatChoice::presetChosen);
    connect(eFormatCode_, &QLineEdit::editingFinished, this, &FormatChoice::codeEntered);
    // The error stands until the code is changed.
    connect(eFormatCode_, &QLineEdit::textEdited, this, [this] { showError({}); });
    connect(cbTBPoints_, &QCheckBox::toggled, this, [this](bool on) {
        model_.execute(MatchCommand::withValue(MatchCommand::Kind::TieBreakPoints, on ? 1 : 0));
    });
    connect(&model_, &BoardModel::tieBreakPointsChanged, this, [this] {
        const QSignalBlocker block(cbTBPoints_);
        cbTBPoints_->setChecked(model_.showsTieBreakPoints());
    });
    connect(&model_, &BoardModel::optionsChanged, this, [this] { showFormat(model_.score().format()); });
    showFormat(model_.score().format());
}

void FormatChoice::choose(const MatchFormat &format)
{
    model_.execute(MatchCommand::format(format.code()));
}

void FormatChoice::presetChosen(int index)
{
    if (index < 0 || index >= int(presets().size()))
        return;
    eFormatCode_->setText(presets()[index].format.code());
    showError({});
    choose(presets()[index].format);
}

void FormatChoice::codeEntered()
{
    const MatchFormat::Parsed parsed = MatchFormat::parse(eFormatCode_->text().trimmed());
    if (!parsed.format) {
        showError(parsed.error);
        return;
    }
    showError({});
    choose(*parsed.format);
}

void FormatChoice::showFormat(const MatchFormat &format)
{
    // The operator's bad code stays in the field with its error until corrected.
    if (error_.isEmpty())
        eFormatCode_->setText(format.code());
    int preset = -1;
    for (int i = 0; i < int(presets().size()); ++i) {
        if (presets()[i].format == format)
            preset = i;
    }
    const QSignalBlocker block(cbFormat_);
    cbFormat_->setCurrentIndex(preset);
}

void FormatChoice::showError(const QString &error)
{
    error_ = error;
    eFormatCode_->setToolTip(error.isEmpty() ? QStringLiteral("TODS-Code, Enter übernimmt")
                                             : QStringLiteral("Ungültig: ") + error);
    setTextColour(eFormatCode_, error.isEmpty() ? clBlack : kErrorText);
}
