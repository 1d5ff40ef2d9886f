// The renamed-files query window, opened from the main window's command:
// the controls, the statement each search builds, the rows it lists, and
// the input that it refuses.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "log/TfrmCnsArqRenomeados.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/dbcontrols.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Select = u"SELECT ArqCtrAgencia, ArqCtrContrato, ArqNomeOrigem,ArqDataOrigem, ArqHoraOrigem, "
                       u"ArqNomeDestino,ArqDataOper, ArqHoraOper, ArqRemessa, ArqNumRemessa,ArqCtrServico"_s;
const QString OrderBy = u"ORDER BY ArqCtrAgencia, ArqCtrContrato, ArqDataOper,ArqHoraOper"_s;

// A log row: agency, contract, service, rename day and time, source name,
// remittance or return, file date.
void registro(int ag, int ct, const QString &svc, const QString &oper, const QString &hora, const QString &origem,
              bool remessa, const QString &dataOrigem)
{
    fixture::exec(u"insert into Arq values (%1, %2, '%3', '%4', '%5', '%6', 'DEST_%6', %7, 1, '%8', '09:00:00')"_s
                      .arg(ag).arg(ct).arg(svc, oper, hora, origem).arg(remessa ? 1 : 0).arg(dataOrigem));
}

// Two agencies, three contracts (two of them differ only in the service)
// and five log rows, one of a contract no longer registered.
void preenche()
{
    fixture::addAgency(7, u"AGENCIA CENTRAL DE SAO PAULO"_s);
    fixture::addAgency(12, u"NORTE"_s);
    fixture::addContract(12, 5, u"O6"_s);
    fixture::addContract(7, 123, u"C3"_s);
    fixture::addContract(7, 123, u"66"_s);
    registro(7, 123, u"66"_s, u"2026-03-02"_s, u"10:00:00"_s, u"A"_s, true, u"2026-03-01"_s);
    registro(7, 123, u"C3"_s, u"2026-03-01"_s, u"09:00:00"_s, u"B"_s, false, u"2026-03-01"_s);
    registro(12, 5, u"O6"_s, u"2026-03-01"_s, u"08:00:00"_s, u"C"_s, true, u"2026-02-28"_s);
    registro(12, 5, u"O6"_s, u"2026-02-27"_s, u"11:00:00"_s, u"D"_s, false, u"2026-03-01"_s);
    registro(3, 9, u"66"_s, u"2026-03-05"_s, u"07:30:00"_s, u"E"_s, true, u"2026-03-01"_s);
}

class Sessao {
public:
    ~Sessao()
    {
        if (form)
            delete form->parentWidget();
    }
    TfrmCnsArqRenomeados *abre()
    {
        if (!principal)
            inicia();
        QApplication::setActiveWindow(principal.get());
        principal->mnuCnsArqRenomeadosClick();
        form = qobject_cast<TfrmCnsArqRenomeados *>(principal->frmCnsArqRenomeados.data());
        if (form)
            QApplication::setActiveWindow(form->window());
        return form;
    }
    void inicia()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
    }
    // Source names of the rows the grid lists, in order.
    QString origens() const
    {
        QStringList out;
        for (int r = 0; r < form->grdArquivo->model()->rowCount(); ++r)
            out << form->grdArquivo->cellText(r, 4);
        return out.join(QString());
    }
    void pesquisa() { QTest::mouseClick(form->btnPesquisar, Qt::LeftButton); }
    void digitaData(const QString &teclas)
    {
        QTest::mouseClick(form->edtDtaArquivo, Qt::LeftButton);
        QTest::keyClicks(form->edtDtaArquivo, teclas);
    }
    void digitaContrato(const QString &texto)
    {
        form->cmbContrato->setFocus(Qt::TabFocusReason);
        form->cmbContrato->lineEdit()->selectAll();
        QTest::keyClicks(form->cmbContrato->lineEdit(), texto);
    }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmCnsArqRenomeados> form;
};

} // namespace

class TstCnsArqRenomeados : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(installed_rows);
        InitApplication();
        setClock([] { return QDateTime(QDate(2026, 3, 10), QTime(14, 0)); });
    }
    void janelaControlesELista();
    void filtros_data();
    void filtros();
    void datasDigitadas_data();
    void datasDigitadas();
    void contratoDigitadoInvalido_data();
    void contratoDigitadoInvalido();
    void tabelaAusenteOuPresaENadaGravado();
};

void TstCnsArqRenomeados::janelaControlesELista()
{
    Sessao s;
    preenche();
    auto *f = s.abre();
    QVERIFY(f);
    QCOMPARE(f->objectName(), u"frmCnsArqRenomeados"_s);
    QCOMPARE(f->windowTitle(), u"Consulta Arquivos Renomeados"_s);
    QVERIFY(!s.principal->mnuCnsArqRenomeados->isEnabled());
    QCOMPARE(f->grpAberto->title(), u"Filtros"_s);
    QCOMPARE(f->Label1->text(), u"Agência"_s + QString(67, u' ') + u"Contrato/Convênio"_s);
    QCOMPARE(f->Label1->buddy(), f->cmbContrato);
    QCOMPARE(f->lblDtaEntrada->text(), u"Data do Arquivo"_s);
    QCOMPARE(f->lblDtaEntrada->buddy(), f->edtDtaArquivo);
    QCOMPARE(f->Label2->text(), u"Origem"_s);
    QCOMPARE(f->radRemessa->text() + f->radRetorno->text(), u"RemessaRetorno"_s);
    QVERIFY(!f->radRemessa->isChecked() && !f->radRetorno->isChecked());
    QCOMPARE(f->btnPesquisar->text(), u"Pesquisar"_s);
    QCOMPARE(f->btnOk->text(), u"Ok"_s);
    QVERIFY(f->btnOk->isDefault());
    QVERIFY(f->cmbContrato->isEditable() && f->cmbContrato->font().fixedPitch());
    QCOMPARE(f->edtDtaArquivo->baseChar(), u' ');
    QVERIFY(f->edtDtaArquivo->century() && f->edtDtaArquivo->assumeDefault());
    QCOMPARE(f->edtDtaArquivo->dateText(), u"00/00/0000"_s);
    QCOMPARE(f->grdArquivo->focusPolicy(), Qt::ClickFocus);
    // What a screen reader announces.
    const auto nome = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QCOMPARE(nome(f->edtDtaArquivo), u"Data do Arquivo"_s);
    const auto rotulos = QAccessible::queryAccessibleInterface(f->cmbContrato)->relations(QAccessible::Label);
    QVERIFY(!rotulos.isEmpty() && rotulos.first().first->object() == f->Label1);
    QCOMPARE(nome(f->grdArquivo), u"Arquivos Renomeados"_s);
    QCOMPARE(nome(f->radRetorno), u"Retorno"_s);

    // "Todos", then the contracts in key order, the name cut to 25 characters.
    QStringList lista;
    for (int i = 0; i < f->cmbContrato->count(); ++i)
        lista << f->cmbContrato->itemText(i);
    QCOMPARE(lista, QStringList({u"Todos"_s, u"0007 - AGENCIA CENTRAL DE SAO PA000000123"_s,
                                 u"0007 - AGENCIA CENTRAL DE SAO PA000000123"_s, u"0012 - NORTE                    000000005"_s}));
    QCOMPARE(f->cmbContrato->currentText(), u"Todos"_s);

    // Columns, and the whole log in agency, contract, rename day and time order.
    QAbstractItemModel *m = f->grdArquivo->model();
    QStringList titulos;
    QList<int> larguras;
    for (int c = 0; c < m->columnCount(); ++c) {
        titulos << m->headerData(c, Qt::Horizontal).toString();
        larguras << f->grdArquivo->columnWidth(c);
        QVERIFY(m->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QCOMPARE(m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(m->index(0, c).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 c < 3 ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    QCOMPARE(titulos, QStringList({"Agência", "Cont/Conv", "Data", "Hora", "Arquivo Origem", "Nome Destino"}));
    QCOMPARE(larguras, QList<int>({51, 62, 63, 49, 185, 175}));
    QCOMPARE(f->qryArquivos.sql(), QStringList({Select, u"FROM Arq"_s, OrderBy}));
    QCOMPARE(s.origens(), u"EBADC"_s);
    QStringList linha;
    for (int c = 0; c < 6; ++c)
        linha << f->grdArquivo->cellText(1, c);
    QCOMPARE(linha, QStringList({"0007", "000000123", "01/03/2026", "09:00:00", "B", "DEST_B"}));

    // Ok closes the window and gives the command back.
    QTest::mouseClick(f->btnOk, Qt::LeftButton);
    QTRY_VERIFY(!s.form);
    QVERIFY(s.principal->mnuCnsArqRenomeados->isEnabled());
    QCOMPARE(s.boxes.dump(), QString());
}

void TstCnsArqRenomeados::filtros_data()
{
    QTest::addColumn<bool>("contrato");
    QTest::addColumn<bool>("remessa");
    QTest::addColumn<bool>("retorno");
    QTest::addColumn<bool>("data");
    QTest::addColumn<QString>("condicoes");
    QTest::addColumn<QString>("origens");
    const QString c = u"WHERE|(ArqCtrAgencia = :Agencia)|and|(ArqCtrContrato = :Contrato)"_s;
    QTest::newRow("nenhum") << false << false << false << false << QString() << u"EBADC"_s;
    QTest::newRow("ambas") << false << true << true << false << QString() << u"EBADC"_s;
    QTest::newRow("D") << false << false << false << true << u"WHERE|(ArqDataOrigem = :DataArquivo)"_s << u"EBAD"_s;
    QTest::newRow("ambas D") << false << true << true << true << u"WHERE|(ArqDataOrigem = :DataArquivo)"_s << u"EBAD"_s;
    QTest::newRow("R") << false << true << false << false << u"WHERE|(ArqRemessa = True)"_s << u"EAC"_s;
    QTest::newRow("T") << false << false << true << false << u"WHERE|(ArqRemessa = False)"_s << u"BD"_s;
    QTest::newRow("R D") << false << true << false << true << u"WHERE|(ArqRemessa = True)|and|(ArqDataOrigem = :DataArquivo)"_s
                         << u"EA"_s;
    QTest::newRow("T D") << false << false << true << true << u"WHERE|(ArqRemessa = False)|and|(ArqDataOrigem = :DataArquivo)"_s
                         << u"BD"_s;
    QTest::newRow("C") << true << false << false << false << c << u"BA"_s;
    QTest::newRow("C D") << true << false << false << true << c + u"|and|(ArqDataOrigem = :DataArquivo)"_s << u"BA"_s;
    QTest::newRow("C R") << true << true << false << false << c + u"|and|(ArqRemessa = True)"_s << u"A"_s;
    QTest::newRow("C T") << true << false << true << false << c + u"|and|(ArqRemessa = False)"_s << u"B"_s;
    QTest::newRow("C R D") << true << true << false << true
                           << c + u"|and|(ArqRemessa = True)|and|(ArqDataOrigem = :DataArquivo)"_s << u"A"_s;
    QTest::newRow("C T D") << true << false << true << true
                           << c + u"|and|(ArqRemessa = False)|and|(ArqDataOrigem = :DataArquivo)"_s << u"B"_s;
}

void TstCnsArqRenomeados::filtros()
{
    QFETCH(bool, contrato);
    QFETCH(bool, remessa);
    QFETCH(bool, retorno);
    QFETCH(bool, data);
    QFETCH(QString, condicoes);
    QFETCH(QString, origens);
    Sessao s;
    preenche();
    auto *f = s.abre();
    QVERIFY(f);
    // Either of the two entries of agency 7, contract 123 selects the rows of both services.
    if (contrato)
        f->cmbContrato->setCurrentIndex(1);
    if (remessa)
        QTest::mouseClick(f->radRemessa, Qt::LeftButton);
    if (retorno)
        QTest::mouseClick(f->radRetorno, Qt::LeftButton);
    if (data)
        s.digitaData(u"01032026"_s);
    s.pesquisa();
    QStringList esperado{Select, u"FROM Arq"_s};
    if (!condicoes.isEmpty())
        esperado << condicoes.split(u'|');
    esperado << OrderBy;
    QCOMPARE(f->qryArquivos.sql(), esperado);
    QCOMPARE(s.origens(), origens);
    if (contrato) {
        QCOMPARE(f->qryArquivos.paramByName(u"Agencia"_s).value, QVariant(7));
        QCOMPARE(f->qryArquivos.paramByName(u"Contrato"_s).value, QVariant(123));
    }
    // The filters stay for the next search.
    s.pesquisa();
    QCOMPARE(f->qryArquivos.sql(), esperado);
    QCOMPARE(s.boxes.dump(), QString());
}

void TstCnsArqRenomeados::datasDigitadas_data()
{
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QDate>("data");
    QTest::newRow("sem ano") << u"0103"_s << u"01/03/2026"_s << QDate(2026, 3, 1);
    QTest::newRow("31/02") << u"31022024"_s << u"29/02/2024"_s << QDate(2024, 2, 29);
    QTest::newRow("29/02/1900") << u"29021900"_s << u"28/02/1900"_s << QDate(1900, 2, 28);
    QTest::newRow("mes 13") << u"15132026"_s << u"15/12/2026"_s << QDate(2026, 12, 15);
    QTest::newRow("ano com dois digitos") << u"280298"_s << u"28/02/2098"_s << QDate(2098, 2, 28);
    QTest::newRow("em branco") << QString() << QString() << QDate();
    QTest::newRow("zeros") << u"00000000"_s << QString() << QDate();
}

void TstCnsArqRenomeados::datasDigitadas()
{
    QFETCH(QString, teclas);
    QFETCH(QString, texto);
    QFETCH(QDate, data);
    Sessao s;
    auto *f = s.abre();
    QVERIFY(f);
    s.digitaData(teclas);
    // The search takes the focus from the box, which completes the date first.
    QVERIFY(f->edtDtaArquivo->hasFocus());
    f->btnPesquisarClick();
    QVERIFY(!f->edtDtaArquivo->hasFocus());
    QCOMPARE(f->edtDtaArquivo->text().trimmed() == u"//"_s ? QString() : f->edtDtaArquivo->text(), texto);
    QCOMPARE(f->qryArquivos.sql().contains(u"(ArqDataOrigem = :DataArquivo)"_s), data.isValid());
    if (data.isValid())
        QCOMPARE(f->qryArquivos.paramByName(u"DataArquivo"_s).value, QVariant(data));
    QVERIFY(f->grdArquivo->dataSource());
    QCOMPARE(s.boxes.dump(), QString());
}

void TstCnsArqRenomeados::contratoDigitadoInvalido_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("todos") << u"todos"_s << u"'todo' is not a valid integer value."_s;
    QTest::newRow("curto") << u"0007 - CENTRAL"_s << u"'' is not a valid integer value."_s;
    QTest::newRow("letras na agencia") << u"00A7 - X                        000000123"_s
                                       << u"'00A7' is not a valid integer value."_s;
    QTest::newRow("letras no contrato") << u"0007 - X                        0000X0123"_s
                                        << u"'0000X0123' is not a valid integer value."_s;
}

void TstCnsArqRenomeados::contratoDigitadoInvalido()
{
    QFETCH(QString, texto);
    QFETCH(QString, mensagem);
    Sessao s;
    preenche();
    auto *f = s.abre();
    QVERIFY(f);
    s.digitaContrato(texto);
    s.pesquisa();
    QCOMPARE(s.boxes.dump(), u"Renomeia Arquivos ZQ | "_s + mensagem + u" | error"_s);
    // The grid stays empty and detached, the cursor normal, the window open.
    QVERIFY(!f->grdArquivo->dataSource());
    QCOMPARE(f->grdArquivo->model()->rowCount(), 0);
    QVERIFY(!QApplication::overrideCursor());
    s.digitaContrato(u"0012 - NORTE                    000000005"_s);
    s.pesquisa();
    QCOMPARE(s.origens(), u"DC"_s);
    QCOMPARE(s.boxes.count(), 1);
}

void TstCnsArqRenomeados::tabelaAusenteOuPresaENadaGravado()
{
    Sessao s;
    preenche();
    // Another program takes the log away, then holds it.
    const QString arq = s.prefix.host(u"C:\\ZQ\\REN\\TABELAS\\Arq.db"_s);
    QSqlDatabase outro = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"outro"_s);
    outro.setDatabaseName(arq);
    QVERIFY(outro.open());
    {
        QSqlQuery q(outro);
        s.inicia();
        QVERIFY(q.exec(u"ALTER TABLE Arq RENAME TO Fora"_s));
        auto *f = s.abre();
        QVERIFY(f);
        QCOMPARE(s.boxes.dump(), u"Renomeia Arquivos ZQ | Table does not exist.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB. | error"_s);
        QVERIFY(!f->grdArquivo->dataSource());
        QVERIFY(q.exec(u"ALTER TABLE Fora RENAME TO Arq"_s));
        const auto resumo = [&] {
            QFile file(arq);
            return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1) : QByteArray();
        };
        const QByteArray antes = resumo();

        QTest::mouseClick(f->radRetorno, Qt::LeftButton);
        s.pesquisa();
        QCOMPARE(s.origens(), u"BD"_s);

        QVERIFY(q.exec(u"BEGIN EXCLUSIVE"_s));
        s.pesquisa();
        QCOMPARE(s.boxes.last().text, u"Table is busy.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB."_s);
        QVERIFY(!f->grdArquivo->dataSource());
        QVERIFY(q.exec(u"ROLLBACK"_s));
        s.pesquisa();
        QCOMPARE(s.origens(), u"BD"_s);
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QTRY_VERIFY(!s.form);
        QCOMPARE(resumo(), antes);
        QCOMPARE(s.boxes.count(), 2);
    }
    outro.close();
    outro = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"outro"_s);
}

QTEST_MAIN(TstCnsArqRenomeados)
#include "tst_cnsarqrenomeados.moc"
