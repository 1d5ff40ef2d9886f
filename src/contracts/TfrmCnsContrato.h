#pragma once
#include <QWidget>

class TfrmCnsContrato : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCnsContrato(QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
};
