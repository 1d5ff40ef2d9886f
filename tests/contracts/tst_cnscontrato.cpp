// The contract query window, opened from the main window's command.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "contracts/TfrmCnsContrato.h"
#include "platform/windowing/dbcontrols.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class Sessao {
public:
    ~Sessao()
    {
        if (form)
            delete moldura();
    }
    TfrmCnsContrato *abre()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        QApplication::setActiveWindow(principal.get());
        principal->mnuCnsContratoClick();
        form = qobject_cast<TfrmCnsContrato *>(principal->frmCnsContrato.data());
        if (form) {
            QApplication::setActiveWindow(form->window());
            grade = form->findChild<DBGrid *>(u"grdContrato"_s);
        }
        return form;
    }
    QWidget *moldura() const
    {
        auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        return sub ? static_cast<QWidget *>(sub) : form.data();
    }
    QStringList linhas() const
    {
        QStringList out;
        for (int r = 0; r < grade->model()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grade->model()->columnCount(); ++c)
                cells << grade->model()->index(r, c).data().toString();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmCnsContrato> form;
    DBGrid *grade = nullptr;
};

int contratos()
{
    return int(fixture::rows(u"Ctr"_s).size());
}

} // namespace

class TstCnsContrato : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The installed rows of Svc are a resource of a static library.
        Q_INIT_RESOURCE(installed_rows);
    }
    void colunasELinhas();
    void excluiComCtrlDelete();
    void okFechaEReabreOMenu();
};

void TstCnsContrato::colunasELinhas()
{
    Sessao s;
    fixture::addContract(12, 5, u"O6"_s, u"C:\\A"_s, u"C:\\B"_s, u"DESC"_s);
    fixture::addContract(7, 123, u"66"_s, u"C:\\REM"_s, u"C:\\RET"_s);
    fixture::addContract(7, 123, u"ZZ"_s, u"C:\\X"_s, u"C:\\Y"_s);
    TfrmCnsContrato *f = s.abre();
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), u"Consulta Contratos/Convênios"_s);
    QCOMPARE(s.moldura()->size(), QSize(717, 357));
    QVERIFY(!s.principal->mnuCnsContrato->isEnabled());

    QAbstractItemModel *m = s.grade->model();
    QStringList titulos;
    for (int c = 0; c < m->columnCount(); ++c)
        titulos << m->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titulos, QStringList({"Agência", "Cont/Conv", "Sistema", "Servico", "Diretório Remessa", "Diretório Retorno", "Descrição"}));
    for (int c = 0; c < m->columnCount(); ++c)
        QCOMPARE(m->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold(), c < 6);
    const int padrao = s.grade->horizontalHeader()->defaultSectionSize();
    QList<int> larguras;
    for (int c = 0; c < m->columnCount(); ++c)
        larguras << s.grade->columnWidth(c);
    QCOMPARE(larguras, QList<int>({padrao, padrao, 47, 46, 164, 215, padrao}));
    auto alinhamento = [&](int c) { return Qt::Alignment(m->index(0, c).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask; };
    QCOMPARE(alinhamento(0), Qt::AlignHCenter);
    QCOMPARE(alinhamento(3), Qt::AlignHCenter);
    QCOMPARE(alinhamento(4), Qt::AlignLeft);
    QCOMPARE(Qt::Alignment(m->headerData(4, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);

    // Key order, display formats, and no system for a service missing from Svc.
    QCOMPARE(s.linhas(), QStringList({"0007|000000123|COB|66|C:\\REM|C:\\RET|", "0007|000000123||ZZ|C:\\X|C:\\Y|",
                                      "0012|000000005|PDZ|O6|C:\\A|C:\\B|DESC"}));
    // The first row is current and selected as a whole; choosing another moves the table.
    QCOMPARE(m->headerData(0, Qt::Vertical).toString(), u"\u25B6"_s);
    QCOMPARE(s.grade->selectionModel()->selectedRows().size(), 1);
    const QRect celula = s.grade->visualRect(m->index(2, 4));
    QTest::mouseClick(s.grade->viewport(), Qt::LeftButton, {}, celula.center());
    QCOMPARE(f->tblContrato.recNo(), 2);
    QCOMPARE(s.grade->selectionModel()->selectedRows().value(0).row(), 2);
    QCOMPARE(m->headerData(2, Qt::Vertical).toString(), u"\u25B6"_s);
    QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QString());
    QVERIFY(!(m->flags(m->index(2, 4)) & Qt::ItemIsEditable));
    // Tab moves between columns of the row.
    QTest::keyClick(s.grade, Qt::Key_Tab);
    QCOMPARE(s.grade->currentIndex().column(), 5);
    QCOMPARE(s.grade->currentIndex().row(), 2);
}

void TstCnsContrato::excluiComCtrlDelete()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s);
    fixture::addContract(2, 18, u"O6"_s);
    QVERIFY(s.abre());
    s.grade->setFocus();
    s.boxes.answer(mrCancel);
    QTest::keyClick(s.grade, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(s.boxes.dump(), u"Confirm | Delete record? | question"_s);
    QCOMPARE(contratos(), 2);
    QCOMPARE(s.linhas().size(), 2);
    // A plain Delete does nothing.
    QTest::keyClick(s.grade, Qt::Key_Delete);
    QCOMPARE(s.boxes.count(), 1);
    // OK deletes the selected contract.
    QTest::keyClick(s.grade, Qt::Key_Down);
    QTest::keyClick(s.grade, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(s.boxes.count(), 2);
    QCOMPARE(fixture::rows(u"Ctr"_s).value(0).value(u"CtrContrato"_s).toInt(), 17);
    QCOMPARE(contratos(), 1);
    QCOMPARE(s.linhas(), QStringList({"0001|000000017|COB|66|C:\\|C:\\|"}));
}

void TstCnsContrato::okFechaEReabreOMenu()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s);
    TfrmCnsContrato *f = s.abre();
    QVERIFY(f);
    auto *ok = f->findChild<QPushButton *>(u"btnOk"_s);
    QCOMPARE(ok->text(), u"Ok"_s);
    QVERIFY(ok->isDefault());
    // Enter in the grid presses Ok.
    s.grade->setFocus();
    QTest::keyClick(s.grade, Qt::Key_Return);
    QTRY_VERIFY(!s.form);
    QVERIFY(s.principal->mnuCnsContrato->isEnabled());
    QVERIFY(s.abre());
    QTest::mouseClick(s.form->findChild<QPushButton *>(u"btnOk"_s), Qt::LeftButton);
    QTRY_VERIFY(!s.form);
    QVERIFY(s.principal->mnuCnsContrato->isEnabled());
    QCOMPARE(s.boxes.dump(), QString());
}

QTEST_MAIN(TstCnsContrato)
#include "tst_cnscontrato.moc"
