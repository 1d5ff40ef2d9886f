// What a screen reader reads of the labels that show data, in the remittance
// and return windows opened from the main window's commands: the label's
// name says what it holds and its value (or its name) what it shows.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "platform/filesystem/winfs.h"
#include "platform/windowing/filedialog.h"
#include "remittance/TfrmRnmArqRemessa.h"
#include "return/TfrmRnmArqRetorno.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "name|value" as a screen reader gets them.
QString lido(QWidget *w)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    return a->text(QAccessible::Name) + u'|' + a->text(QAccessible::Value);
}

struct Sessao {
    Sessao()
    {
        setApplicationTitle(u"Renomeia Arquivos ZQ"_s);
        fixture::addAgency(12, u"CENTRO"_s);
    }
    ~Sessao()
    {
        setFileChooser({});
        setMessageResponder({});
    }
    void abre(void (TfrmPrincipal::*comando)())
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        (void)QTest::qWaitForWindowExposed(principal.get());
        (principal.get()->*comando)();
    }

    fixture::Prefix prefix;
    std::unique_ptr<TfrmPrincipal> principal;
};

} // namespace

class TstAcessibilidade : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(installed_rows);
        InitApplication();
    }

    void remessa()
    {
        Sessao s;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s, u"C:\\"_s, u"Cobrança da loja"_s);
        fixture::writeFile(u"C:\\REM\\a.txt"_s, "linha\r\n");
        s.abre(&TfrmPrincipal::mnuRnmArqRemessaClick);
        auto *f = qobject_cast<TfrmRnmArqRemessa *>(s.principal->frmRnmArqRemessa.data());
        QVERIFY(f);
        f->cmbContrato->setFocus();
        f->cmbContrato->setCurrentIndex(0);
        emit f->cmbContrato->activated(0);
        QCOMPARE(lido(f->lblDirArqKELT), u"Diretório de saída|C:\\ZQ\\COB\\SAIDA"_s);
        QCOMPARE(lido(f->DBText1), u"Descrição do Contrato|Cobrança da loja"_s); // named by its caption
        QCOMPARE(lido(f->dbtDirArqRemessa), u"Diretório dos arquivos remessa do contrato|C:\\REM"_s);
        QCOMPARE(lido(f->Label5), u"Descrição do Contrato|"_s); // a caption is read once
        QCOMPARE(QAccessible::queryAccessibleInterface(f->lblDirArqKELT)->textInterface()->text(0, -1), u"C:\\ZQ\\COB\\SAIDA"_s);

        // The status after a rename that failed (the outgoing folder's name
        // is taken by a file), and while the success box is up.
        fixture::writeFile(u"C:\\ZQ\\COB\\SAIDA"_s, "x");
        QStringList situacao;
        setMessageResponder([&](const BoxRecord &) {
            situacao << lido(f->Label4);
            return int(mrOk);
        });
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(lido(f->Label4), u"Situação da renomeação|Arquivo NÃO foi Renomeado!!"_s);
        QFile::remove(winfs::hostPath(u"C:\\ZQ\\COB\\SAIDA"_s));
        situacao.clear();
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(situacao, QStringList{u"Situação da renomeação|Arquivo OK"_s});
    }

    void retorno()
    {
        Sessao s;
        fixture::addContract(12, 45678, u"66"_s, u"C:\\"_s, u"C:\\RET\\"_s, u"Loja do centro"_s);
        fixture::addContract(7, 1234567, u"IP"_s, u"C:\\"_s, u"C:\\IPC"_s, u"Pagamentos"_s);
        fixture::writeFile(u"C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0012000045678.TXT"_s, "cob");
        const QString pdz = u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s;
        fixture::writeFile(pdz, "ipc");
        s.abre(&TfrmPrincipal::mnuRnmArqRetornoClick);
        auto *w = qobject_cast<TfrmRnmArqRetorno *>(s.principal->frmRnmArqRetorno.data());
        QVERIFY(w);
        QCOMPARE(lido(w->lblDirArqKELT), u"Pasta do arquivo retorno|C:\\ZQ\\COB\\ENTRADA"_s);
        QCOMPARE(lido(w->lblCrtDescricao), u"Descrição do Contrato|Loja do centro"_s);
        QCOMPARE(lido(w->dbtDirArqRetorno), u"Pasta de retorno do contrato|C:\\RET\\"_s);

        // An IPC contract's file: the field keeps the name of its caption.
        setFileChooser([&](const QString &, const QString &) { return pdz; });
        w->btnDirArqKELT->click();
        QCOMPARE(lido(w->lblDirArqKELT), u"Pasta do arquivo retorno|C:\\ZQ\\PDZ\\ENTRADA"_s);
        QCOMPARE(lido(w->lblCrtDescricao), u"Descrição do Contrato|Pagamentos"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(w->EdtContrato)->text(QAccessible::Name), w->Label6->text());
        QCOMPARE(w->Label6->text(), u"Contrato"_s);
    }
};

QTEST_MAIN(TstAcessibilidade)
#include "tst_acessibilidade.moc"
