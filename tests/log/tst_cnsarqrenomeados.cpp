// The renamed-files query window, opened from the main window's command:
// its controls, the statement each search builds, the rows it lists, and
// the input and table states it refuses.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "log/TfrmCnsArqRenomeados.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/dbcontrols.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Select = u"SELECT ArqCtrAgencia, ArqCtrContrato, ArqNomeOrigem,ArqDataOrigem, ArqHoraOrigem, "
                       u"ArqNomeDestino,ArqDataOper, ArqHoraOper, ArqRemessa, ArqNumRemessa,ArqCtrServico"_s;
const QString OrderBy = u"ORDER BY ArqCtrAgencia, ArqCtrContrato, ArqDataOper,ArqHoraOper"_s;

// Three contracts, two differing only in the service, and five log rows
// (source names A to E), one of a contract no longer registered:
// agency, contract, service, rename day and time, source, remittance, file date.
void preenche()
{
    fixture::addAgency(7, u"AGENCIA CENTRAL DE SAO PAULO"_s);
    fixture::addAgency(12, u"NORTE"_s);
    fixture::addContract(12, 5, u"O6"_s);
    fixture::addContract(7, 123, u"C3"_s);
    fixture::addContract(7, 123, u"66"_s);
    for (const char *row : {"7,123,'66','2026-03-02','10:00:00','A',1,'2026-03-01'", "7,123,'C3','2026-03-01','09:00:00','B',0,'2026-03-01'",
                            "12,5,'O6','2026-03-01','08:00:00','C',1,'2026-02-28'", "12,5,'O6','2026-02-27','11:00:00','D',0,'2026-03-01'",
                            "3,9,'66','2026-03-05','07:30:00','E',1,'2026-03-01'"}) {
        const QStringList v = QString::fromLatin1(row).split(u',');
        fixture::exec(u"insert into Arq values (%1,%2,%3,%4,%5,%6,'DEST_'||%6,%7,1,%8,'09:00:00')"_s.arg(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]));
    }
}

struct Sessao {
    Sessao() { preenche(); }
    ~Sessao() { delete (form ? form->parentWidget() : nullptr); }
    TfrmCnsArqRenomeados *abre()
    {
        if (!principal)
            principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        principal->mnuCnsArqRenomeadosClick();
        form = qobject_cast<TfrmCnsArqRenomeados *>(principal->frmCnsArqRenomeados.data());
        QApplication::setActiveWindow(principal.get());
        return form;
    }
    QString origens() const // source names of the rows listed, in order
    {
        QString out;
        for (int r = 0; r < form->grdArquivo->model()->rowCount(); ++r)
            out += form->grdArquivo->cellText(r, 4);
        return out;
    }
    void pesquisa() { QTest::mouseClick(form->btnPesquisar, Qt::LeftButton); }
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

    void janelaControlesELista()
    {
        Sessao s;
        auto *f = s.abre();
        QVERIFY(f);
        QCOMPARE(QStringList({f->objectName(), f->windowTitle(), f->grpAberto->title(), f->Label1->text(), f->lblDtaEntrada->text(),
                              f->Label2->text(), f->radRemessa->text(), f->radRetorno->text(), f->btnPesquisar->text(), f->btnOk->text()}),
                 QStringList({"frmCnsArqRenomeados", "Consulta Arquivos Renomeados", "Filtros", u"Agência"_s + QString(67, u' ') + u"Contrato/Convênio"_s,
                              "Data do Arquivo", "Origem", "Remessa", "Retorno", "Pesquisar", "Ok"}));
        QVERIFY(!s.principal->mnuCnsArqRenomeados->isEnabled());
        QVERIFY(f->btnOk->isDefault() && f->cmbContrato->isEditable() && f->cmbContrato->font().fixedPitch());
        QVERIFY(f->edtDtaArquivo->baseChar() == u' ' && f->edtDtaArquivo->century() && f->edtDtaArquivo->assumeDefault());
        QVERIFY(f->grdArquivo->focusPolicy() == Qt::ClickFocus && f->grdArquivo->selectionBehavior() == QAbstractItemView::SelectRows
                && f->grdArquivo->editTriggers() == QAbstractItemView::NoEditTriggers);
        // What a screen reader announces.
        const auto nome = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(nome(f->edtDtaArquivo) + nome(f->grdArquivo) + nome(f->radRetorno), u"Data do ArquivoArquivos RenomeadosRetorno"_s);
        const auto rotulos = QAccessible::queryAccessibleInterface(f->cmbContrato)->relations(QAccessible::Label);
        QVERIFY(!rotulos.isEmpty() && rotulos.first().first->object() == f->Label1);

        // "Todos", then the contracts in key order, the name cut to 25 characters.
        QStringList lista;
        for (int i = 0; i < f->cmbContrato->count(); ++i)
            lista << f->cmbContrato->itemText(i);
        QCOMPARE(lista, QStringList({"Todos", "0007 - AGENCIA CENTRAL DE SAO PA000000123", "0007 - AGENCIA CENTRAL DE SAO PA000000123",
                                     "0012 - NORTE                    000000005"}));
        QCOMPARE(f->cmbContrato->currentText(), u"Todos"_s);

        // Columns; the whole log in agency, contract, rename day and time order.
        QAbstractItemModel *m = f->grdArquivo->model();
        QStringList colunas, linha;
        for (int c = 0; c < m->columnCount(); ++c) {
            const auto centro = [&](QVariant v) { return (v.toInt() & Qt::AlignHorizontal_Mask) == Qt::AlignHCenter ? u"c"_s : u"-"_s; };
            colunas << u"%1 %2 %3%4%5"_s.arg(m->headerData(c, Qt::Horizontal).toString()).arg(f->grdArquivo->columnWidth(c))
                           .arg(m->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold() ? u"b"_s : u"-"_s)
                           .arg(centro(m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole))).arg(centro(m->index(0, c).data(Qt::TextAlignmentRole)));
            linha << f->grdArquivo->cellText(1, c);
        }
        QCOMPARE(colunas, QStringList({"Agência 51 bcc", "Cont/Conv 62 bcc", "Data 63 bcc", "Hora 49 bc-", "Arquivo Origem 185 bc-", "Nome Destino 175 bc-"}));
        QCOMPARE(linha, QStringList({"0007", "000000123", "01/03/2026", "09:00:00", "B", "DEST_B"}));
        QCOMPARE(f->qryArquivos.sql(), QStringList({Select, u"FROM Arq"_s, OrderBy}));
        QCOMPARE(s.origens(), u"EBADC"_s);

        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QTRY_VERIFY(!s.form);
        QVERIFY(s.principal->mnuCnsArqRenomeados->isEnabled());
        QCOMPARE(s.boxes.dump(), QString());
    }

    // C: a contract chosen, R / T: the box checked, D: a date typed.
    void filtros_data()
    {
        QTest::addColumn<QString>("condicoes");
        QTest::addColumn<QString>("origens");
        const QString c = u"WHERE|(ArqCtrAgencia = :Agencia)|and|(ArqCtrContrato = :Contrato)|"_s;
        const QString d = u"(ArqDataOrigem = :DataArquivo)"_s, r = u"(ArqRemessa = True)"_s, t = u"(ArqRemessa = False)"_s;
        QTest::newRow("-") << QString() << u"EBADC"_s;
        QTest::newRow("D") << u"WHERE|"_s + d << u"EBAD"_s;
        QTest::newRow("RTD") << u"WHERE|"_s + d << u"EBAD"_s;
        QTest::newRow("R") << u"WHERE|"_s + r << u"EAC"_s;
        QTest::newRow("T") << u"WHERE|"_s + t << u"BD"_s;
        QTest::newRow("RD") << u"WHERE|%1|and|%2"_s.arg(r, d) << u"EA"_s;
        QTest::newRow("TD") << u"WHERE|%1|and|%2"_s.arg(t, d) << u"BD"_s;
        QTest::newRow("C") << c.chopped(1) << u"BA"_s;
        QTest::newRow("CD") << c + u"and|"_s + d << u"BA"_s;
        QTest::newRow("CR") << c + u"and|"_s + r << u"A"_s;
        QTest::newRow("CT") << c + u"and|"_s + t << u"B"_s;
        QTest::newRow("CRD") << c + u"and|%1|and|%2"_s.arg(r, d) << u"A"_s;
        QTest::newRow("CTD") << c + u"and|%1|and|%2"_s.arg(t, d) << u"B"_s;
    }

    void filtros()
    {
        QFETCH(QString, condicoes);
        QFETCH(QString, origens);
        const QString filtros = QString::fromLatin1(QTest::currentDataTag());
        Sessao s;
        auto *f = s.abre();
        QVERIFY(f);
        // Either entry of agency 7, contract 123 selects the rows of both services.
        if (filtros.contains(u'C'))
            f->cmbContrato->setCurrentIndex(1);
        if (filtros.contains(u'R'))
            QTest::mouseClick(f->radRemessa, Qt::LeftButton);
        if (filtros.contains(u'T'))
            QTest::mouseClick(f->radRetorno, Qt::LeftButton);
        if (filtros.contains(u'D')) {
            QTest::mouseClick(f->edtDtaArquivo, Qt::LeftButton);
            QTest::keyClicks(f->edtDtaArquivo, u"01032026"_s);
        }
        const QStringList esperado = QStringList{Select, u"FROM Arq"_s} + (condicoes.isEmpty() ? QStringList() : condicoes.split(u'|')) + QStringList{OrderBy};
        // The filters stay for the next search.
        for (int vez = 0; vez < 2; ++vez) {
            s.pesquisa();
            QCOMPARE(f->qryArquivos.sql(), esperado);
            QCOMPARE(s.origens(), origens);
        }
        if (filtros.contains(u'C'))
            QCOMPARE(f->qryArquivos.paramByName(u"Agencia"_s).value.toInt() * 1000 + f->qryArquivos.paramByName(u"Contrato"_s).value.toInt(), 7123);
        QCOMPARE(s.boxes.dump(), QString());
    }

    // Typed text: a date is completed when the search takes the focus from
    // the box; a contract text off the entry layout is refused.
    void entradasDigitadas_data()
    {
        QTest::addColumn<QString>("contrato");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("sem ano") << QString() << u"0103"_s << u"01/03/2026"_s;
        QTest::newRow("zeros") << QString() << u"00000000"_s << QString();
        QTest::newRow("todos") << u"todos"_s << QString() << u"'todo' is not a valid integer value."_s;
        QTest::newRow("curto") << u"0007 - CENTRAL"_s << QString() << u"'' is not a valid integer value."_s;
        QTest::newRow("letra no contrato") << u"0007 - X                        0000X0123"_s << QString() << u"'0000X0123' is not a valid integer value."_s;
    }

    void entradasDigitadas()
    {
        QFETCH(QString, contrato);
        QFETCH(QString, data);
        QFETCH(QString, resultado);
        Sessao s;
        auto *f = s.abre();
        QVERIFY(f);
        if (!contrato.isEmpty()) {
            s.digitaContrato(contrato);
            s.pesquisa();
            QCOMPARE(s.boxes.dump(), u"Renomeia Arquivos ZQ | "_s + resultado + u" | error"_s);
            // The grid stays detached and empty, the cursor normal; the next search works.
            QVERIFY(!f->grdArquivo->dataSource() && f->grdArquivo->model()->rowCount() == 0);
            QVERIFY(!QApplication::overrideCursor());
            s.digitaContrato(u"0012 - NORTE                    000000005"_s);
            s.pesquisa();
            QCOMPARE(s.origens(), u"DC"_s);
            QCOMPARE(s.boxes.count(), 1);
            return;
        }
        QTest::mouseClick(f->edtDtaArquivo, Qt::LeftButton);
        QTest::keyClicks(f->edtDtaArquivo, data);
        f->btnPesquisarClick();
        QVERIFY(!f->edtDtaArquivo->hasFocus());
        QCOMPARE(f->edtDtaArquivo->dateText() == u"00/00/0000"_s ? QString() : f->edtDtaArquivo->text(), resultado);
        QCOMPARE(f->qryArquivos.sql().contains(u"(ArqDataOrigem = :DataArquivo)"_s), !resultado.isEmpty());
        if (!resultado.isEmpty())
            QCOMPARE(f->qryArquivos.paramByName(u"DataArquivo"_s).value.toDate(), StrToDate(resultado));
        QCOMPARE(s.boxes.dump(), QString());
    }

    void tabelaAusenteOuPresaENadaGravado()
    {
        Sessao s;
        s.principal = std::make_unique<TfrmPrincipal>();
        // Another program takes the log away, then holds it.
        fixture::OtherProgram outro(u"Arq"_s);
        QVERIFY(outro.exec(u"ALTER TABLE Arq RENAME TO Fora"_s));
        auto *f = s.abre();
        QVERIFY(f);
        QCOMPARE(s.boxes.take(), u"Renomeia Arquivos ZQ | Table does not exist.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB. | error"_s);
        QVERIFY(!f->grdArquivo->dataSource());
        QVERIFY(outro.exec(u"ALTER TABLE Fora RENAME TO Arq"_s));
        const QByteArray antes = fixture::readFile(u"C:\\ZQ\\REN\\TABELAS\\Arq.db"_s);
        QTest::mouseClick(f->radRetorno, Qt::LeftButton);
        s.pesquisa();
        QCOMPARE(s.origens(), u"BD"_s);
        QVERIFY(outro.exec(u"BEGIN EXCLUSIVE"_s));
        s.pesquisa();
        QCOMPARE(s.boxes.take(), u"Renomeia Arquivos ZQ | Table is busy.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB. | error"_s);
        QVERIFY(!f->grdArquivo->dataSource());
        QVERIFY(outro.exec(u"ROLLBACK"_s));
        s.pesquisa();
        QCOMPARE(s.origens(), u"BD"_s);
        QTest::mouseClick(f->btnOk, Qt::LeftButton);
        QTRY_VERIFY(!s.form);
        // The window never writes the log.
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\TABELAS\\Arq.db"_s), antes);
        QCOMPARE(s.boxes.count(), 0);
    }
};

QTEST_MAIN(TstCnsArqRenomeados)
#include "tst_cnsarqrenomeados.moc"
