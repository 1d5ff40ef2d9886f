#pragma once
// The about box: an ordinary window with the program's picture and an "Ok" button.
#include <QWidget>

namespace Ui {
class TfrmSobre;
}
class QFrame;
class QLabel;
class QPushButton;

class TfrmSobre : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget *parent = nullptr);
    ~TfrmSobre() override;

    // Window definition
    QFrame *pnlSobre;
    QLabel *imgSobre;
    QFrame *pnlSobre1;
    QPushButton *btnOk;

    // Handlers
    void btnOkClick();
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Ui::TfrmSobre *ui;
};
