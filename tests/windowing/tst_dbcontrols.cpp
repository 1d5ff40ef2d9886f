// Data-aware controls on a contract table: what they show, how typed text
// reaches the record, and how the data layer refuses it.
#include "common/fixture.h"

#include "db/tables.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/dbcontrols.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

using tables::DataSetState;

namespace {

struct Janela {
    Janela()
    {
        zqdb::setupTable(ctr, QStringLiteral("Ctr.DB"));
        zqdb::setContractFormats(ctr);
        zqdb::setupTable(svc, QStringLiteral("Svc.DB"));
        zqdb::addSisCodLookup(ctr, &svc);
        dts.setDataSet(&ctr);
        auto *layout = new QVBoxLayout(&form);
        for (DBEdit *e : {agencia, descricao}) {
            e->setDataSource(&dts);
            layout->addWidget(e);
        }
        agencia->setDataField(QStringLiteral("CtrAgencia"));
        descricao->setDataField(QStringLiteral("CtrDescricao"));
        descricao->setUpperCase(true);
        sistema->setDataSource(&dts);
        sistema->setDataField(QStringLiteral("SisCod"));
        layout->addWidget(sistema);
        form.show();
        QApplication::setActiveWindow(&form);
    }
    tables::Table ctr, svc;
    tables::DataSource dts;
    QWidget form;
    DBEdit *agencia = new DBEdit(&form);
    DBEdit *descricao = new DBEdit(&form);
    DBText *sistema = new DBText(&form);
};

QString descricao(int row)
{
    return fixture::rows(QStringLiteral("Ctr"), QStringLiteral("CtrAgencia")).value(row).value(QStringLiteral("CtrDescricao")).toString();
}

} // namespace

class TstDbControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    void mostraFormatosELookups()
    {
        fixture::Prefix prefix;
        fixture::addContract(7, 123, QStringLiteral("O6"));
        Janela j;
        QCOMPARE(j.agencia->text(), QString());
        QVERIFY(j.agencia->isReadOnly()); // closed
        j.ctr.open();
        QCOMPARE(j.agencia->text(), QStringLiteral("0007"));
        QCOMPARE(j.descricao->maxLength(), 200);
        // The system appears when the services open, without moving the contract.
        QCOMPARE(j.sistema->text(), QString());
        j.svc.open();
        QCOMPARE(j.sistema->text(), QStringLiteral("PDZ"));
        j.ctr.close();
        QCOMPARE(j.agencia->text(), QString());
        QCOMPARE(j.sistema->text(), QString());
    }

    void digitarEditaEGravaAoSair()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, QStringLiteral("66"));
        fixture::addContract(2, 18, QStringLiteral("66"));
        Janela j;
        j.ctr.open();
        j.descricao->setFocus();
        QTest::keyClicks(j.descricao, QStringLiteral("nova"));
        QCOMPARE(j.ctr.state(), DataSetState::Edit);
        QCOMPARE(j.descricao->text(), QStringLiteral("NOVA"));
        // Leaving the record writes the pending text and posts it.
        j.ctr.next();
        QCOMPARE(j.ctr.state(), DataSetState::Browse);
        QCOMPARE(descricao(0), QStringLiteral("NOVA"));
        QCOMPARE(j.descricao->text(), QString());
        // Leaving the box writes the text into the field at once.
        j.descricao->setFocus();
        QTest::keyClicks(j.descricao, QStringLiteral("x"));
        j.agencia->setFocus(Qt::TabFocusReason);
        QCOMPARE(j.ctr.fieldByName(QStringLiteral("CtrDescricao"))->asString(), QStringLiteral("X"));
        j.ctr.cancel();
        QCOMPARE(j.descricao->text(), QString());
        QCOMPARE(descricao(1), QString());
    }

    void textoRecusadoPeloCampo()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        fixture::addContract(1, 17, QStringLiteral("66"));
        Janela j;
        j.ctr.open();
        j.agencia->setFocus();
        j.agencia->selectAll();
        QTest::keyClicks(j.agencia, QStringLiteral("1x"));
        // Leaving the box: the field's message, and the focus stays.
        j.descricao->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxes.dump(), QStringLiteral(" | '1x' is not a valid integer value for field 'CtrAgencia' | error"));
        QCOMPARE(QApplication::focusWidget(), j.agencia);
        // Posting raises the same error and leaves the record being edited.
        try {
            j.ctr.post();
            QFAIL("post accepted a text the field refuses");
        } catch (const EConvertError &e) {
            QCOMPARE(e.message(), QStringLiteral("'1x' is not a valid integer value for field 'CtrAgencia'"));
        }
        QCOMPARE(j.ctr.state(), DataSetState::Edit);
        QCOMPARE(j.agencia->text(), QStringLiteral("1x"));
        j.agencia->setText(QStringLiteral("3"));
        j.ctr.post();
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).value(0).value(QStringLiteral("CtrAgencia")).toInt(), 3);
        QCOMPARE(j.agencia->text(), QStringLiteral("0003"));
    }
};

QTEST_MAIN(TstDbControls)
#include "tst_dbcontrols.moc"
