#include "platform/windowing/controls.h"

#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QStringListModel>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

// ---------------------------------------------------------------- FileListBox

namespace {
// A folder as the list keeps it: a full path without trailing "\", except on a drive root.
QString folderName(const QString &folder)
{
    QString full = winfs::expandFileName(folder);
    if (full.endsWith(QLatin1Char('\\')) && !(full.size() == 3 && full.at(1) == QLatin1Char(':')))
        full.chop(1);
    return full;
}
} // namespace

FileListBox::FileListBox(QWidget *parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row has the same height: a folder of tens of thousands of files
    // is laid out without measuring each name.
    setUniformItemSizes(true);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit fileClicked();
    });
}

QStringList FileListBox::readFolder(const QString &folder) const
{
    QStringList names;
    // Ordinary files only: no folders, no hidden files.
    const QList<winfs::SearchRec> found =
        winfs::findFiles(winfs::includeTrailingBackslash(folder) + mask_, winfs::faReadOnly | winfs::faArchive);
    names.reserve(found.size());
    for (const winfs::SearchRec &r : found)
        names.append(r.name);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

void FileListBox::setDirectory(const QString &folder)
{
    const QString full = folderName(folder);
    if (!winfs::directoryExists(full))
        throw EInOutError(3, QStringLiteral("Path not found: %1").arg(folder));
    const bool differs = full.compare(directory_, Qt::CaseInsensitive) != 0;
    if (!differs) {
        directory_ = full;
        refresh();
        return;
    }
    if (!winfs::setCurrentDir(full))
        throw EInOutError(3, QStringLiteral("Path not found: %1").arg(folder));
    directory_ = full;
    model_->setStringList(readFolder(full));
    scrollToTop();
}

void FileListBox::setMask(const QString &mask)
{
    mask_ = mask.isEmpty() ? QStringLiteral("*.*") : mask;
    if (!directory_.isEmpty())
        refresh();
}

QString FileListBox::fileName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void FileListBox::setFileName(const QString &name)
{
    const QStringList names = model_->stringList();
    qsizetype row = names.indexOf(name);
    for (qsizetype i = 0; row < 0 && !name.isEmpty() && i < names.size(); ++i)
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            row = i;
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(int(row));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

QString FileListBox::filePath() const
{
    const QString name = fileName();
    return name.isEmpty() ? QString() : winfs::includeTrailingBackslash(directory_) + name;
}

QStringList FileListBox::items() const
{
    return model_->stringList();
}

int FileListBox::count() const
{
    return model_->rowCount();
}

void FileListBox::refresh()
{
    if (directory_.isEmpty())
        return;
    const QString selected = fileName();
    model_->setStringList(readFolder(directory_));
    if (!selected.isEmpty())
        setFileName(selected);
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before)
        emit fileClicked();
}

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(QWidget *parent) : QGroupBox(parent), group_(new QButtonGroup(this))
{
    group_->setExclusive(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    connect(group_, &QButtonGroup::idToggled, this, &RadioGroup::onToggled);
}

void RadioGroup::setItems(const QStringList &items)
{
    updating_ = true;
    for (QAbstractButton *b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    items_ = items;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        b->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
        group_->addButton(b, i);
        layout()->addWidget(b);
    }
    updating_ = false;
    const int wanted = index_;
    index_ = -1;
    setItemIndex(wanted);
}

QRadioButton *RadioGroup::button(int index) const
{
    return qobject_cast<QRadioButton *>(group_->button(index));
}

void RadioGroup::setItemIndex(int index)
{
    if (items_.isEmpty()) {
        // Items not given yet (a window definition may set the index first).
        index_ = index;
        return;
    }
    if (index < 0 || index >= items_.size())
        index = -1;
    if (index == index_)
        return;
    updating_ = true;
    if (index < 0) {
        // An exclusive group keeps one button checked: let go of it for a moment.
        group_->setExclusive(false);
        if (QAbstractButton *b = group_->checkedButton())
            b->setChecked(false);
        group_->setExclusive(true);
        index_ = -1;
        emit itemIndexChanged(-1);
    } else {
        button(index)->setChecked(true);
    }
    updating_ = false;
}

void RadioGroup::onToggled(int id, bool checked)
{
    if (!checked || id == index_)
        return;
    index_ = id;
    emit itemIndexChanged(id);
    if (!updating_)
        emit itemClicked();
}

// ---------------------------------------------------------------- ProgressBar

namespace {
// The toolkit's range a range wider than int is scaled to.
constexpr int ScaledRange = 1 << 30;
} // namespace

ProgressBar::ProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
    apply();
}

void ProgressBar::setMin(qint64 value)
{
    min_ = value;
    apply();
}

void ProgressBar::setMax(qint64 value)
{
    max_ = value;
    apply();
}

void ProgressBar::setRange64(qint64 min, qint64 max)
{
    min_ = min;
    max_ = max;
    apply();
}

void ProgressBar::setPosition(qint64 value)
{
    position_ = value;
    apply();
}

double ProgressBar::fraction() const
{
    return maximum() > 0 ? double(value()) / double(maximum()) : 0.0;
}

void ProgressBar::apply()
{
    int top = 1;
    int shown = 0;
    if (max_ <= min_) {
        shown = position_ >= max_ ? 1 : 0;
    } else {
        // Differences taken unsigned: max - min may exceed the signed range.
        const quint64 span = quint64(max_) - quint64(min_);
        const quint64 done = position_ <= min_ ? 0 : position_ >= max_ ? span : quint64(position_) - quint64(min_);
        if (span <= quint64(INT_MAX)) {
            top = int(span);
            shown = int(done);
        } else {
            top = ScaledRange;
            shown = done == span ? top : int(double(done) / double(span) * top);
        }
    }
    if (minimum() != 0 || maximum() != top)
        QProgressBar::setRange(0, top);
    if (value() != shown)
        setValue(shown);
}

void alignCaptionOverColumn(QLabel *caption, const QComboBox *list, int column)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    option.rect = QRect(0, 0, 400, list->sizeHint().height());
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    // An editable list's edit keeps two pixels between its edge and its text.
    const qreal target = field.x() + (list->isEditable() ? 2 : 1) + column * QFontMetricsF(list->font()).horizontalAdvance(u'0');
    const QString text = caption->text();
    const QString head = text.left(text.lastIndexOf(QLatin1Char(' ')) + 1);
    // The toolkit may widen each blank or the run of blanks as a whole: a
    // trial pixel tells which.
    QFont font = caption->font();
    font.setWordSpacing(0);
    const qreal natural = QFontMetricsF(font).horizontalAdvance(head);
    font.setWordSpacing(1);
    const qreal perPixel = QFontMetricsF(font).horizontalAdvance(head) - natural;
    font.setWordSpacing(perPixel > 0 ? (target - natural) / perPixel : 0);
    caption->setFont(font);
}

QFont courierFont(int pointSize)
{
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSize(pointSize);
    if (QFontInfo(courier).fixedPitch())
        return courier;
    QStringList families{QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
    families += QFontDatabase::families();
    for (const QString &family : families) {
        if (!QFontDatabase::isFixedPitch(family))
            continue;
        QFont fixed(family);
        fixed.setStyleHint(QFont::TypeWriter);
        fixed.setFixedPitch(true);
        fixed.setPointSize(pointSize);
        return fixed;
    }
    return courier;
}
