#include "common/fixture.h"

#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"
#include "platform/tables/session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace fixture {

Prefix::Prefix(bool tables)
{
    oldPrefix_ = qgetenv("RENOMEIA_ZQ_PREFIX");
    oldCwd_ = QDir::currentPath().toLocal8Bit();
    qputenv("RENOMEIA_ZQ_PREFIX", dir_.path().toLocal8Bit());
    QDir().mkpath(dir_.path() + QStringLiteral("/drive_c"));
    QDir::setCurrent(dir_.path() + QStringLiteral("/drive_c"));
    tables::Session::instance().reset();
    if (tables) {
        zqdb::installTables();
        tables::Session &s = tables::Session::instance();
        s.addAlias(zqdb::AliasName, zqdb::AliasDriver, {QStringLiteral("PATH=") + zqdb::TablesFolder});
        s.saveConfig();
    }
}

Prefix::~Prefix()
{
    tables::Session::instance().reset();
    QDir::setCurrent(QString::fromLocal8Bit(oldCwd_));
    if (oldPrefix_.isEmpty())
        qunsetenv("RENOMEIA_ZQ_PREFIX");
    else
        qputenv("RENOMEIA_ZQ_PREFIX", oldPrefix_);
}

QString Prefix::host(const QString &windowsPath) const
{
    return winfs::hostPath(windowsPath);
}

Boxes::Boxes()
{
    setMessageResponder([this](const BoxRecord &box) {
        shown_.append(box);
        if (!script_.isEmpty())
            return script_.takeFirst();
        return box.style == MsgStyle::Question ? int(mrYes) : int(mrOk);
    });
}

Boxes::~Boxes()
{
    setMessageResponder({});
}

QString styleName(MsgStyle s)
{
    switch (s) {
    case MsgStyle::Error: return QStringLiteral("error");
    case MsgStyle::Exclamation: return QStringLiteral("exclamation");
    case MsgStyle::Information: return QStringLiteral("information");
    case MsgStyle::Question: return QStringLiteral("question");
    case MsgStyle::Plain: return QStringLiteral("plain");
    }
    return QString();
}

QString Boxes::dump() const
{
    QStringList out;
    for (const BoxRecord &b : shown_)
        out << b.title + QStringLiteral(" | ") + b.text + QStringLiteral(" | ") + styleName(b.style);
    return out.join(QLatin1Char('\n'));
}

QString errorOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const Exception &e) {
        return e.message();
    }
    return QString();
}

void writeFile(const QString &windowsPath, const QByteArray &bytes)
{
    const QString host = winfs::hostPath(windowsPath);
    QDir().mkpath(QFileInfo(host).path());
    QFile f(host);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(host));
    f.write(bytes);
}

QByteArray readFile(const QString &windowsPath)
{
    QFile f(winfs::hostPath(windowsPath));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void makeDir(const QString &windowsPath)
{
    winfs::forceDirectories(windowsPath);
}

QList<QVariantMap> rows(const QString &table, const QString &orderBy)
{
    tables::Query q;
    q.databaseName = zqdb::AliasName;
    q.setSQL({QStringLiteral("select * from ") + table + (orderBy.isEmpty() ? QString() : QStringLiteral(" order by ") + orderBy)});
    q.open();
    QList<QVariantMap> out;
    q.first();
    while (!q.eof()) {
        QVariantMap m;
        for (tables::Field *f : q.fields())
            m.insert(f->fieldName(), f->value());
        out.append(m);
        q.next();
    }
    q.close();
    return out;
}

void exec(const QString &statement)
{
    tables::Query q;
    q.databaseName = zqdb::AliasName;
    q.setSQL({statement});
    q.execSQL();
}

void addContract(int agencia, int contrato, const QString &servico, const QString &dirRemessa, const QString &dirRetorno,
                 const QString &descricao)
{
    tables::Query q;
    q.databaseName = zqdb::AliasName;
    q.setSQL({QStringLiteral("insert into Ctr (CtrAgencia, CtrContrato, CtrServico, CtrDirRemessa, CtrDirRetorno, CtrDescricao)"),
              QStringLiteral("values (:a, :c, :s, :r, :t, :d)")});
    q.paramByName(QStringLiteral("a")).setAsSmallInt(agencia);
    q.paramByName(QStringLiteral("c")).setAsInteger(contrato);
    q.paramByName(QStringLiteral("s")).setAsString(servico);
    q.paramByName(QStringLiteral("r")).setAsString(dirRemessa);
    q.paramByName(QStringLiteral("t")).setAsString(dirRetorno);
    q.paramByName(QStringLiteral("d")).setAsString(descricao);
    q.execSQL();
}

void addAgency(int codigo, const QString &nome)
{
    tables::Query q;
    q.databaseName = zqdb::AliasName;
    q.setSQL({QStringLiteral("insert into Age (AgeCod, AgeNome) values (:c, :n)")});
    q.paramByName(QStringLiteral("c")).setAsSmallInt(codigo);
    q.paramByName(QStringLiteral("n")).setAsString(nome);
    q.execSQL();
}

} // namespace fixture
