#pragma once
#include <QWidget>

class TfrmCadContrato : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCadContrato(QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
};
