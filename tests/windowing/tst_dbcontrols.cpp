// Data-aware edits on a contract table: how typed text reaches the record,
// and how the data layer refuses it.
#include "common/fixture.h"

#include "db/statements.h"
#include "db/tables.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/dbcontrols.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using tables::DataSetState;

using namespace Qt::StringLiterals;

namespace {

struct Janela {
    Janela()
    {
        zqdb::setupTable(ctr, u"Ctr.DB"_s);
        zqdb::setContractFormats(ctr);
        dts.setDataSet(&ctr);
        auto *layout = new QVBoxLayout(&form);
        for (DBEdit *e : {agencia, descricao}) {
            e->setDataSource(&dts);
            layout->addWidget(e);
        }
        agencia->setDataField(u"CtrAgencia"_s);
        descricao->setDataField(u"CtrDescricao"_s);
        descricao->setUpperCase(true);
        form.show();
        QApplication::setActiveWindow(&form);
    }
    tables::Table ctr;
    tables::DataSource dts;
    QWidget form;
    DBEdit *agencia = new DBEdit(&form);
    DBEdit *descricao = new DBEdit(&form);
};

QString descricao(int row)
{
    return fixture::rows(u"Ctr"_s, u"CtrAgencia"_s).value(row).value(u"CtrDescricao"_s).toString();
}

} // namespace

class TstDbControls : public QObject {
    Q_OBJECT
private slots:
    void digitarEditaEGravaAoSair()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, u"66"_s);
        fixture::addContract(2, 18, u"66"_s);
        Janela j;
        j.ctr.open();
        j.descricao->setFocus();
        QTest::keyClicks(j.descricao, u"nova"_s);
        QCOMPARE(j.ctr.state(), DataSetState::Edit);
        QCOMPARE(j.descricao->text(), u"NOVA"_s);
        // Leaving the record writes the pending text and posts it.
        j.ctr.next();
        QCOMPARE(j.ctr.state(), DataSetState::Browse);
        QCOMPARE(descricao(0), u"NOVA"_s);
        QCOMPARE(j.descricao->text(), QString());
        // Leaving the box writes the text into the field at once.
        j.descricao->setFocus();
        QTest::keyClicks(j.descricao, u"x"_s);
        j.agencia->setFocus(Qt::TabFocusReason);
        QCOMPARE(j.ctr.fieldByName(u"CtrDescricao"_s)->asString(), u"X"_s);
        j.ctr.cancel();
        QCOMPARE(j.descricao->text(), QString());
        QCOMPARE(descricao(1), QString());
    }

    // Moving the record repaints the rows in view only, however many the data set holds.
    void gradeAtualizaSoAsLinhasVisiveis()
    {
        fixture::Prefix prefix;
        fixture::fillLog(3000);
        tables::Query log;
        log.databaseName = zqdb::AliasName;
        log.setSQL(QStringList{sql::log::Select, sql::log::From, sql::log::OrderBy});
        tables::DataSource dts;
        dts.setDataSet(&log);
        DBGrid grid;
        grid.setColumns({{u"ArqNomeOrigem"_s, u"Origem"_s}});
        grid.setDataSource(&dts);
        grid.resize(300, 200);
        grid.show();
        log.open();
        QAbstractItemModel *m = grid.model();
        QSignalSpy dados(m, &QAbstractItemModel::dataChanged);
        QSignalSpy indicador(m, &QAbstractItemModel::headerDataChanged);
        grid.scrollTo(m->index(2000, 0));
        log.moveTo(2001);
        QVERIFY(dados.count() > 0 && indicador.count() > 0);
        for (const auto &s : dados) {
            const int de = s.at(0).toModelIndex().row(), ate = s.at(1).toModelIndex().row();
            QVERIFY2(de <= 2001 && ate >= 2001 && ate - de < 30, qPrintable(u"%1-%2"_s.arg(de).arg(ate)));
        }
        for (const auto &s : indicador)
            QVERIFY(s.at(1).toInt() <= 2001 && s.at(2).toInt() >= 2001 && s.at(2).toInt() - s.at(1).toInt() < 30);
        QCOMPARE(m->headerData(2001, Qt::Vertical).toString(), u"\u25B6"_s);
        QCOMPARE(grid.cellText(2001, 0), log.fieldByName(u"ArqNomeOrigem"_s)->asString());
        QVERIFY(log.rowsRead() < 3000);
    }

    void textoRecusadoPeloCampo()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, u"66"_s);
        Janela j;
        j.ctr.open();
        j.agencia->setFocus();
        j.agencia->selectAll();
        QTest::keyClicks(j.agencia, u"1x"_s);
        // Posting raises the field's error and leaves the record being edited.
        try {
            j.ctr.post();
            QFAIL("post accepted a text the field refuses");
        } catch (const EConvertError &e) {
            QCOMPARE(e.message(), u"'1x' is not a valid integer value for field 'CtrAgencia'"_s);
        }
        QCOMPARE(j.ctr.state(), DataSetState::Edit);
        QCOMPARE(j.agencia->text(), u"1x"_s);
        j.agencia->setText(u"3"_s);
        j.ctr.post();
        QCOMPARE(fixture::rows(u"Ctr"_s).value(0).value(u"CtrAgencia"_s).toInt(), 3);
        QCOMPARE(j.agencia->text(), u"0003"_s);
    }
};

QTEST_MAIN(TstDbControls)
#include "tst_dbcontrols.moc"
