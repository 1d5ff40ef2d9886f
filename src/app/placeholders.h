#pragma once
// A child window whose own work is not built yet: it shows its caption and
// keeps the opening protocol (its menu entry is enabled again when it closes).
#include <QWidget>

class TPlaceholderForm : public QWidget {
    Q_OBJECT
public:
    TPlaceholderForm(const QString &name, const QString &caption, const QString &menuEntry, const QSize &size,
                     QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString menuEntry_;
};
