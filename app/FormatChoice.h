#pragma once

#include "core/MatchFormat.h"

#include <QObject>
#include <QString>

#include <vector>

class BoardModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The match format on the configuration strip: named presets, a free code field and the
// option to show the loser's tie-break points. It shows the model's format and sends the
// operator's choice to it.
class FormatChoice : public QObject
{
    Q_OBJECT

public:
    struct Preset
    {
        QString name;
        MatchFormat format;
    };
    static const std::vector<Preset> &presets();

    FormatChoice(QWidget &strip, BoardModel &model);

    QComboBox *cbFormat() const { return cbFormat_; }
    QLineEdit *eFormatCode() const { return eFormatCode_; }
    QCheckBox *cbTBPoints() const { return cbTBPoints_; }
    // Why the code in the field does not parse; empty while it does.
    QString error() const { return error_; }

private:
    // The format in play: its code in the field, its preset (or none) in the list.
    void showFormat(const MatchFormat &format);
    void choose(const MatchFormat &format);
    void presetChosen(int index);
    void codeEntered();
    void showError(const QString &error);

    BoardModel &model_;
    QLabel *label_ = nullptr;
    QComboBox *cbFormat_ = nullptr;
    QLineEdit *eFormatCode_ = nullptr;
    QCheckBox *cbTBPoints_ = nullptr;
    QString error_;
};
