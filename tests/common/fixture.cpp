#include "common/fixture.h"

#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/entrega.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"
#include "platform/tables/session.h"
#include "platform/tables/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

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

QString Boxes::take()
{
    const QString d = dump();
    shown_.clear();
    return d;
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

QStringList rowTexts(const QString &table, const QString &orderBy)
{
    tables::Query q;
    q.databaseName = zqdb::AliasName;
    q.setSQL({QStringLiteral("select * from ") + table + (orderBy.isEmpty() ? QString() : QStringLiteral(" order by ") + orderBy)});
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList values;
        for (tables::Field *f : q.fields())
            values << f->value().toString();
        out << values.join(QLatin1Char('|'));
    }
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
    using tables::FieldType;
    q.setSQL(tables::SqlText{
        {QStringLiteral("insert into Ctr (CtrAgencia, CtrContrato, CtrServico, CtrDirRemessa, CtrDirRetorno, CtrDescricao)"),
         QStringLiteral("values (:a, :c, :s, :r, :t, :d)")},
        {{QStringLiteral("a"), FieldType::SmallInt}, {QStringLiteral("c"), FieldType::Integer},
         {QStringLiteral("s"), FieldType::String}, {QStringLiteral("r"), FieldType::String},
         {QStringLiteral("t"), FieldType::String}, {QStringLiteral("d"), FieldType::String}}});
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
    q.setSQL(tables::SqlText{{QStringLiteral("insert into Age (AgeCod, AgeNome) values (:c, :n)")},
                             {{QStringLiteral("c"), tables::FieldType::SmallInt}, {QStringLiteral("n"), tables::FieldType::String}}});
    q.paramByName(QStringLiteral("c")).setAsSmallInt(codigo);
    q.paramByName(QStringLiteral("n")).setAsString(nome);
    q.execSQL();
}

void fillLog(int rows)
{
    tables::Connection &conn = tables::Session::instance().connection(zqdb::AliasName);
    conn.startTransaction();
    try {
        tables::Statement q(conn, QStringLiteral(
            "insert into Arq (ArqCtrAgencia, ArqCtrContrato, ArqCtrServico, ArqDataOper, ArqHoraOper, ArqNomeOrigem, "
            "ArqNomeDestino, ArqRemessa, ArqNumRemessa, ArqDataOrigem, ArqHoraOrigem) values (?, ?, '66', ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDate base(2026, 1, 1);
        for (int i = 0; i < rows; ++i) {
            const bool remessa = i % 10 != 0;
            const QString dia = base.addDays(i % 300).toString(Qt::ISODate);
            q.bind(1, i % 50);
            q.bind(2, i % 997);
            q.bind(3, dia);
            q.bind(4, QTime(8, 0).addSecs(i % 36000).toString(QStringLiteral("HH:mm:ss")));
            q.bind(5, remessa ? QStringLiteral("C:\\REMESSA\\ARQ%1.TXT").arg(i) : QStringLiteral("2026%1COB01X.TXT").arg(i));
            q.bind(6, QStringLiteral("COB0166%1").arg(i % 100000, 5, 10, QLatin1Char('0')));
            q.bind(7, remessa ? 1 : 0);
            q.bind(8, remessa ? 1 + i % 9 : 0);
            q.bind(9, dia);
            q.bind(10, QStringLiteral("09:00:00"));
            q.exec();
            q.reset();
        }
        conn.commit();
    } catch (...) {
        conn.rollback();
        throw;
    }
}

void etapasDeEntrega()
{
    using winfs::EtapaEntrega;
    QTest::addColumn<int>("etapa");
    QTest::addColumn<bool>("entregue");
    QTest::newRow("temporário criado") << int(EtapaEntrega::Criado) << false;
    QTest::newRow("temporário completo") << int(EtapaEntrega::Completo) << false;
    QTest::newRow("registro gravado") << int(EtapaEntrega::Registrado) << true;
    QTest::newRow("no lugar") << int(EtapaEntrega::NoLugar) << true;
}

std::function<void(winfs::EtapaEntrega)> morreEm(int etapa)
{
    return [etapa](winfs::EtapaEntrega e) {
        if (int(e) == etapa)
            throw Morte();
    };
}

OtherProgram::OtherProgram(const QString &table)
{
    const QByteArray file = winfs::hostPath(QStringLiteral("C:\\ZQ\\REN\\TABELAS\\") + table + QStringLiteral(".db")).toUtf8();
    if (sqlite3_open_v2(file.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(table));
    // As a program that waits a while for a busy table.
    sqlite3_busy_timeout(db_, 5000);
}

OtherProgram::~OtherProgram()
{
    sqlite3_close_v2(db_);
}

bool OtherProgram::exec(const QString &statement)
{
    return sqlite3_exec(db_, statement.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace fixture
