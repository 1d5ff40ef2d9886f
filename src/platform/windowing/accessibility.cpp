#include "platform/windowing/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>

namespace {

// A group box is announced by its own caption. (The toolkit names a group
// box nested in another one by the outer caption, and its controls are then
// read as if they belonged to the outer group.)
class GroupBoxAccessible : public QAccessibleWidget {
public:
    explicit GroupBoxAccessible(QGroupBox *box) : QAccessibleWidget(box, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            auto *box = static_cast<QGroupBox *>(widget());
            QString name = box->accessibleName();
            if (name.isEmpty())
                name = box->title().remove(QLatin1Char('&'));
            return name;
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        auto *box = static_cast<QGroupBox *>(widget());
        st.checkable = box->isCheckable();
        st.checked = box->isCheckable() && box->isChecked();
        return st;
    }
};

QAccessibleInterface *groupBoxFactory(const QString &, QObject *object)
{
    if (auto *box = qobject_cast<QGroupBox *>(object))
        return new GroupBoxAccessible(box);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(groupBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
