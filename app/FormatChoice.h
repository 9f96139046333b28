#pragma once

#include "core/MatchFormat.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The match format on the configuration strip: named presets, a free code field and the
// option to show the loser's tie-break points. It knows the codes, not the score.
class FormatChoice
{
public:
    struct Preset
    {
        QString name;
        MatchFormat format;
    };
    static const std::vector<Preset> &presets();

    // `chosen` runs with every format the operator picks or types that parses.
    FormatChoice(QWidget &strip, std::function<void(const MatchFormat &)> chosen);
    ~FormatChoice();
    FormatChoice(const FormatChoice &) = delete;
    FormatChoice &operator=(const FormatChoice &) = delete;

    QComboBox *cbFormat() const { return cbFormat_; }
    QLineEdit *eFormatCode() const { return eFormatCode_; }
    QCheckBox *cbTBPoints() const { return cbTBPoints_; }
    // Why the code in the field does not parse; empty while it does.
    QString error() const { return error_; }

    // The format in play: its code in the field, its preset (or none) in the list.
    void showFormat(const MatchFormat &format);

private:
    void presetChosen(int index);
    void codeEntered();
    void showError(const QString &error);

    std::function<void(const MatchFormat &)> chosen_;
    QLabel *label_ = nullptr;
    QComboBox *cbFormat_ = nullptr;
    QLineEdit *eFormatCode_ = nullptr;
    QCheckBox *cbTBPoints_ = nullptr;
    QString error_;
    // The widgets outlive the part (the window deletes them later), and the field's focus
    // leaving on that deletion ends its editing: the hooks must go with the part.
    std::array<QMetaObject::Connection, 3> hooks_;
};
