#pragma once
// The about box: an ordinary window with the program's picture and an "Ok" button.
#include <QWidget>

class QPushButton;

class TfrmSobre : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget *parent = nullptr);
    QPushButton *btnOk;
    void btnOkClick();

protected:
    void closeEvent(QCloseEvent *event) override;
};
