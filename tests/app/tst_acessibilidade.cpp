// What a screen reader reads of the labels that show data in the remittance
// and return windows, opened from the main window's commands: "name|value".
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "platform/filesystem/winfs.h"
#include "remittance/TfrmRnmArqRemessa.h"
#include "return/TfrmRnmArqRetorno.h"

#include <QAccessible>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QString lido(const QList<QWidget *> &controles)
{
    QStringList out;
    for (QWidget *w : controles) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        out << a->text(QAccessible::Name) + u'|' + a->text(QAccessible::Value);
    }
    return out.join(u" / "_s);
}
} // namespace

class TstAcessibilidade : public QObject {
    Q_OBJECT
    fixture::Prefix prefix;
    TfrmPrincipal *principal = nullptr;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(installed_rows);
        InitApplication();
        fixture::addAgency(12, u"CENTRO"_s);
        principal = new TfrmPrincipal;
        principal->show();
    }
    void cleanupTestCase() { delete principal; }

    void remessa()
    {
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s, u"C:\\"_s, u"Cobrança da loja"_s);
        fixture::writeFile(u"C:\\REM\\a.txt"_s, "linha\r\n");
        principal->mnuRnmArqRemessaClick();
        auto *f = qobject_cast<TfrmRnmArqRemessa *>(principal->frmRnmArqRemessa.data());
        QVERIFY(f);
        emit f->cmbContrato->activated(0);
        QCOMPARE(lido({f->lblDirArqKELT, f->DBText1, f->dbtDirArqRemessa, f->Label5}),
                 u"Diretório de saída|C:\\ZQ\\COB\\SAIDA / Descrição do Contrato|Cobrança da loja / "
                 "Diretório dos arquivos remessa do contrato|C:\\REM / Descrição do Contrato|"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(f->lblDirArqKELT)->textInterface()->text(0, -1), u"C:\\ZQ\\COB\\SAIDA"_s);

        // The status after a rename that failed (a file holds the outgoing
        // folder's name), and while the success box is up.
        fixture::writeFile(u"C:\\ZQ\\COB\\SAIDA"_s, "x");
        QString situacao;
        setMessageResponder([&](const BoxRecord &) { return situacao = lido({f->Label4}), int(mrOk); });
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(lido({f->Label4}), u"Situação da renomeação|Arquivo NÃO foi Renomeado!!"_s);
        QFile::remove(winfs::hostPath(u"C:\\ZQ\\COB\\SAIDA"_s));
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        setMessageResponder({});
        QCOMPARE(situacao, u"Situação da renomeação|Arquivo OK"_s);
    }

    // An IPC contract's file: "Convênio" over the contract field, the caption it is announced by.
    void retorno()
    {
        fixture::addContract(7, 1234567, u"IP"_s, u"C:\\"_s, u"C:\\IPC"_s, u"Pagamentos"_s);
        fixture::writeFile(u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s, "ipc");
        principal->mnuRnmArqRetornoClick();
        auto *w = qobject_cast<TfrmRnmArqRetorno *>(principal->frmRnmArqRetorno.data());
        QVERIFY(w);
        QCOMPARE(lido({w->lblDirArqKELT, w->lblCrtDescricao, w->EdtContrato}),
                 u"Pasta do arquivo retorno|C:\\ZQ\\PDZ\\ENTRADA / Descrição do Contrato|Pagamentos / Convênio|001234567"_s);
    }
};

QTEST_MAIN(TstAcessibilidade)
#include "tst_acessibilidade.moc"
