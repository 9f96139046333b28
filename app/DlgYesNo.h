#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The small yes/no question the board asks before a reset and before closing.
// Each caller sets the question and the focused button before showing it.
class TFDlgYesNo : public QDialog
{
    Q_OBJECT

public:
    // Windows modal results, which callers compare against.
    static constexpr int mrYes = 6;
    static constexpr int mrCancel = 2;

    explicit TFDlgYesNo(QWidget *parent = nullptr);

    // Sets the question, focuses "Nein" so that Enter declines, and shows the dialog
    // modally, centred on its parent. Returns the modal result.
    int ask(const QString &question);

    QLabel *Label1;
    QLabel *Icon;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    void reject() override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void centreOnOwner();

    QSize centredFrame_;
};
