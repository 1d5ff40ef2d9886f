#pragma once
// Frames and child windows: the main frame that children report to, the
// status bar with panels, and showing a window as an MDI child.
#include <QLabel>
#include <QList>
#include <QStatusBar>
#include <QString>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// A status bar made of fixed panels (index from 0).
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr) : QStatusBar(parent) {}
    // Adds a panel of the given width and text alignment. As in the platform's
    // status bars, the last panel may stretch to the bar's right edge.
    void addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool fillsRest = false);
    int panelCount() const { return int(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    QLabel *panel(int index) const { return panels_.value(index); }

private:
    QList<QLabel *> panels_;
};

// What child windows need of the application's main frame.
class MdiFrame {
public:
    virtual ~MdiFrame() = default;
    virtual QAction *menuEntry(const QString &name) = 0;
    virtual StatusPanels *statusPanels() = 0;
    virtual QMdiArea *mdiArea() = 0;
};
MdiFrame *mainFrame();
void setMainFrame(MdiFrame *frame);

// Enables (or disables) a menu entry of the main frame, when there is one.
void enableMainMenuEntry(const QString &name, bool enabled = true);
// Writes a panel of the main frame's status bar, when there is one.
void setMainStatusPanel(int index, const QString &text);

// Shows form as an MDI child of the main frame with the given outer size,
// centred in the client area. The child is destroyed when it closes; its
// closeEvent may refuse the close.
QMdiSubWindow *showMdiChild(QWidget *form, const QSize &outerSize);

// Closes a form, whether it stands alone or inside an MDI child.
void closeForm(QWidget *form);
