#pragma once

#include "feed/BrokerPublisher.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// The tournament broker's fields, opened from the feed's row: host, port, court, user,
// password (masked), TLS and its CA file. The court takes only what a topic level of the
// board's may hold.
class BrokerDialog : public QDialog
{
    Q_OBJECT

public:
    BrokerDialog(const BrokerPublisher::Setup &setup, QWidget *parent = nullptr);

    // The fields as entered, switched on as they came.
    BrokerPublisher::Setup setup() const;

    QLineEdit *eHost() const { return eHost_; }
    QLineEdit *ePort() const { return ePort_; }
    QLineEdit *eCourt() const { return eCourt_; }
    QLineEdit *eUser() const { return eUser_; }
    QLineEdit *ePassword() const { return ePassword_; }
    QCheckBox *cbTls() const { return cbTls_; }
    QLineEdit *eCaFile() const { return eCaFile_; }

private:
    void chooseCaFile();
    void check();

    bool on_;
    QLineEdit *eHost_ = nullptr;
    QLineEdit *ePort_ = nullptr;
    QLineEdit *eCourt_ = nullptr;
    QLineEdit *eUser_ = nullptr;
    QLineEdit *ePassword_ = nullptr;
    QCheckBox *cbTls_ = nullptr;
    QLineEdit *eCaFile_ = nullptr;
    QLabel *hint_ = nullptr;
};
