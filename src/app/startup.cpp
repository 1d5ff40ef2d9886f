#include "app/startup.h"
#include "db/tables.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/tables/session.h"
#include "platform/windowing/msgbox.h"

namespace {
QString &helpFile()
{
    static QString f;
    return f;
}
} // namespace

void InitApplication()
{
    setApplicationTitle(AppTitle);
    helpFile() = AppHelpFile;
}

QString applicationHelpFile()
{
    return helpFile();
}

void SetProcessFormats()
{
    FormatSettings &f = formatSettings();
    f.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    f.dateSeparator = QLatin1Char('/');
    f.timeSeparator = QLatin1Char(':');
    f.shortTimeFormat = QStringLiteral("HH:mm:ss");
    f.currencyString.clear();
}

void CriaAlias()
{
    tables::Session &session = tables::Session::instance();
    try {
        if (session.aliasNames().contains(zqdb::AliasName, Qt::CaseInsensitive))
            return;
        session.addAlias(zqdb::AliasName, zqdb::AliasDriver, {QStringLiteral("PATH=") + zqdb::TablesFolder});
        session.saveConfig();
    } catch (const Exception &e) {
        MessageBox(QStringLiteral("Erro ") + e.message() + QStringLiteral(" ao criar Alias \"") + zqdb::AliasName
                       + QStringLiteral("\"."),
                   applicationTitle(), MsgStyle::Plain);
    }
}
