#include "platform/windowing/translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Texts the toolkit's catalogue lacks: the file dialog's types of a folder
// and a drive moved to another class, and the catalogue still has them only
// under the old one, so the dialog said "Folder".
class MissingTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        if (qstrcmp(sourceText, "Folder") == 0)
            return QStringLiteral("Pasta");
        if (qstrcmp(sourceText, "Drive") == 0)
            return QStringLiteral("Unidade");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool loadToolkitTranslations(const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    // A program that carries the catalogue has it in "translations" beside it
    // (on Windows); otherwise it is the toolkit's own (on Linux, the system's).
    QString from = folder;
    if (from.isEmpty()) {
        from = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
        if (!QFileInfo::exists(from + QStringLiteral("/qtbase_pt_BR.qm")))
            from = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    }
    if (!translator->load(QStringLiteral("qtbase_pt_BR"), from) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(new MissingTexts(QCoreApplication::instance()));
    return true;
}
