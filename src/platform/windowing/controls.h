#pragma once
// Controls the windows share: a file list box, a radio group and a progress
// bar. Each can be placed in a window definition as a promoted widget
// (header "platform/windowing/controls.h").
#include <QFont>
#include <QGroupBox>
#include <QListView>
#include <QProgressBar>
#include <QStringList>

class QButtonGroup;
class QRadioButton;
class QStringListModel;

// The ordinary files of a folder (no folders, no hidden files), sorted by
// name without regard to case, one of them selectable. The folder is a
// Windows path of the emulated drive.
class FileListBox : public QListView {
    Q_OBJECT
    Q_PROPERTY(QString mask READ mask WRITE setMask)
public:
    explicit FileListBox(QWidget *parent = nullptr);

    // The folder shown, without trailing "\" (but on a drive root); empty
    // before the list is first pointed at one.
    const QString &directory() const { return directory_; }
    // Shows a folder. A folder that differs (ignoring letter case) from the
    // one shown becomes the process's current folder. A folder that does not
    // exist (or is a file) raises EInOutError and changes nothing.
    void setDirectory(const QString &folder);

    // Which names are listed ("*.*", every file, by default).
    const QString &mask() const { return mask_; }
    void setMask(const QString &mask);

    // Name (without folder) of the selected file; empty when none is.
    QString fileName() const;
    // Selects the file of that name (letter case ignored); a name that is
    // not listed leaves no file selected.
    void setFileName(const QString &name);
    // Full Windows path of the selected file; empty when none is.
    QString filePath() const;

    // The names listed, in their order.
    QStringList items() const;
    int count() const;

    // Reads the folder again, keeping the selected name when it is still there.
    void refresh();

signals:
    // The user picked a file in the list, by mouse or keyboard.
    void fileClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringList readFolder(const QString &folder) const;
    QStringListModel *model_;
    QString directory_;
    QString mask_ = QStringLiteral("*.*");
};

// A captioned group of radio buttons, one per item, at most one chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)
public:
    explicit RadioGroup(QWidget *parent = nullptr);

    const QStringList &items() const { return items_; }
    // Replaces the items; the chosen index is kept when it is still one of them.
    void setItems(const QStringList &items);
    // The chosen item, -1 when none is.
    int itemIndex() const { return index_; }
    void setItemIndex(int index);
    QRadioButton *button(int index) const;

signals:
    // The user chose another item.
    void itemClicked();
    // The chosen item changed, by the user or by setItemIndex.
    void itemIndexChanged(int index);

private:
    void onToggled(int id, bool checked);
    QButtonGroup *group_;
    QStringList items_;
    int index_ = -1;
    bool updating_ = false;
};

// A progress bar over 64-bit minimum, maximum and position. A position
// outside the range shows an empty or a full bar; a range wider than the
// toolkit's int range (a file over 2 GiB) is scaled, never overflowed.
class ProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(qint64 min READ min WRITE setMin)
    Q_PROPERTY(qint64 max READ max WRITE setMax)
    Q_PROPERTY(qint64 position READ position WRITE setPosition)
public:
    explicit ProgressBar(QWidget *parent = nullptr);

    qint64 min() const { return min_; }
    qint64 max() const { return max_; }
    qint64 position() const { return position_; }
    void setMin(qint64 value);
    void setMax(qint64 value);
    void setRange64(qint64 min, qint64 max);
    void setPosition(qint64 value);
    // Share of the bar that is filled, from 0 to 1.
    double fraction() const;

private:
    void apply();
    qint64 min_ = 0;
    qint64 max_ = 100;
    qint64 position_ = 0;
};

class QComboBox;
class QLabel;

// A caption over a fixed-pitch list of column-formatted entries ("Agência",
// a run of blanks, "Contrato"): its run of blanks is widened or narrowed, its
// text unchanged, so that the word after the blanks stands over the given
// character column (0-based) of the list's entries. The caption's left edge
// is the list's.
void alignCaptionOverColumn(QLabel *caption, const QComboBox *list, int column);

// Courier of that size, for lists read in fixed columns. Where no Courier is
// installed and the toolkit's match would be proportional, the system's
// fixed-pitch font, or else any installed fixed-pitch family, takes its place.
QFont courierFont(int pointSize);
