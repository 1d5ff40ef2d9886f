#pragma once
// A child window whose own work is not built yet: it shows its caption and
// keeps the opening protocol (its menu entry is enabled again when it closes).
#include "platform/windowing/forms.h"

class TPlaceholderForm : public TForm {
    Q_OBJECT
public:
    TPlaceholderForm(const QString &name, const QString &caption, const QString &menuEntry, const QSize &size,
                     QWidget *parent = nullptr);

    bool FormClose() override;

private:
    QString menuEntry_;
};
