#pragma once
// The about box: an ordinary window with the program's picture and an "Ok" button.
#include "platform/windowing/forms.h"
#include "ui_TfrmSobre.h"

class TfrmSobre : public TForm, public Ui::TfrmSobre {
    Q_OBJECT
public:
    explicit TfrmSobre(QWidget *parent = nullptr);

    // Handlers
    void btnOkClick();
    bool FormClose() override;
};
