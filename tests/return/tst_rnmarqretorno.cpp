// The return window, worked the way a user works it: return files dropped
// into the incoming folders, the window opened from the main window's command,
// the name box clicked, files picked, the pattern edited, the button pressed.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/filedialog.h"
#include "return/Entrega.h"
#include "return/TfrmRnmArqRetorno.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Cob = u"C:\\ZQ\\COB\\ENTRADA"_s;
const QString Arquivo = u"20050315COB01X0123000045678.TXT"_s;
const QString Erro = u"Erro de Crítica - Nome Arquivo Retorno | "_s;
const QString Sucesso = u"Renomeia Arquivos | Arquivo Renomeado com Sucesso!! | information"_s;
const QString NaoRenomeado = u"Renomeia Arquivos | Arquivo NÃO foi Renomeado!! | information"_s;
const QDateTime Relogio(QDate(2026, 12, 8), QTime(14, 5, 9));

// A prefix with agency 123 and its COB contract 45678 (return folder
// C:\RET\), and a return file of it in the COB incoming folder.
struct Janela {
    explicit Janela(const QString &dirRetorno = u"C:\\RET\\"_s)
    {
        fixture::addAgency(123, u"  CENTRO "_s);
        fixture::addContract(123, 45678, u"66"_s, u"C:\\"_s, dirRetorno, u"Loja do centro"_s);
        fixture::makeDir(u"C:\\RET"_s);
        fixture::writeFile(Cob + u"\\"_s + Arquivo, "retorno\r\n");
    }
    ~Janela()
    {
        setFileChooser({});
        principal.reset();
    }
    TfrmRnmArqRetorno *abre()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        principal->mnuRnmArqRetornoClick();
        QCoreApplication::processEvents();
        form = qobject_cast<TfrmRnmArqRetorno *>(principal->frmRnmArqRetorno.data());
        return form;
    }
    // Picks a file in the file open dialog (a name of the COB folder).
    void escolhe(const QString &nome)
    {
        setFileChooser([this, nome](const QString &inicial, const QString &) {
            pastaInicial = inicial;
            return nome.isEmpty() ? nome : Cob + u"\\"_s + nome;
        });
        form->btnDirArqKELT->click();
    }
    void renomeia() { QTest::mouseClick(form->btnRnmArq, Qt::LeftButton); }
    QString caixas()
    {
        const QString d = boxes.dump();
        boxes.clear();
        return d;
    }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmRnmArqRetorno> form;
    QString pastaInicial;
};

// Names in the return folder, hidden ones included.
QStringList naPasta(const QString &pasta)
{
    return QDir(winfs::hostPath(pasta)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TstRnmArqRetorno : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(installed_rows);
        InitApplication();
        setClock([] { return Relogio; });
    }

    void identifiesTheFirstFileAndShowsItsContract()
    {
        Janela s;
        QFile::rename(winfs::hostPath(Cob + u"\\"_s + Arquivo), winfs::hostPath(Cob) + u"/"_s + Arquivo.toLower());
        TfrmRnmArqRetorno *w = s.abre();
        QVERIFY(w);
        QCOMPARE(s.caixas(), QString());
        QCOMPARE(w->windowTitle(), u"Renomeia Arquivo Retorno"_s);
        QStringList grupos;
        for (QGroupBox *g : {w->GroupBox1, w->GroupBox2, w->GroupBox3, w->GroupBox4})
            grupos << g->title() + (g->font().bold() ? u"(bold)"_s : QString());
        QCOMPARE(grupos, (QStringList{u" De (bold)"_s, u" Para (bold)"_s, u" Dados do Contrato/Convênio (bold)"_s,
                                      u" Padrão Nome do Arquivo Renomeado (bold)"_s}));
        QVERIFY(w->btnRnmArq->isDefault() && w->btnRnmArq->isEnabled());
        QCOMPARE(w->btnFechar->text(), u"&Fechar"_s);
        QCOMPARE(w->Label5->buddy(), w->edtRetornoExtensao);
        for (QWidget *c : QList<QWidget *>{w->edtNomeArqKELT, w->edtNomeArqRetorno, w->lblDirArqKELT, w->btnDirArqKELT})
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));

        // The name is shown upper-cased, decoded, and its contract shown.
        QCOMPARE(w->lblDirArqKELT->text(), Cob);
        QCOMPARE(w->edtNomeArqKELT->text(), Arquivo);
        QCOMPARE(w->TamContrato, 9);
        QCOMPARE(w->DirEntrada, Cob);
        QCOMPARE(w->Label1->text(), u"Agência"_s + QString(62, u' ') + u"Contrato"_s);
        QCOMPARE(w->EdtAgencia->text(), u"0123 - CENTRO"_s);
        QCOMPARE(w->EdtContrato->text(), u"000045678"_s);
        QCOMPARE(w->DBEdit1->text(), u"COB"_s);
        QCOMPARE(w->lblCrtDescricao->text(), u"Loja do centro"_s);
        QCOMPARE(w->dbtDirArqRetorno->text(), u"C:\\RET\\"_s);
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s), QByteArray("Nome=retorno;\r\nExtensao=txt;\r\n"));
        QCOMPARE(w->edtNomeArqRetorno->text(), u"RETORNO.TXT"_s);

        // What is typed into the pattern is made capitals and composes the name.
        w->edtRetornoExtensao->clear();
        QTest::keyClicks(w->edtRetornoExtensao, u"ret"_s);
        QCOMPARE(w->edtNomeArqRetorno->text(), u"RETORNO.RET"_s);
        s.escolhe(QString());
        QCOMPARE(s.pastaInicial, u"C:\\ZQ\\COB\\ENTRADA\\"_s);
    }

    void deliversLogsAndAsksBeforeReplacing()
    {
        Janela s;
        TfrmRnmArqRetorno *w = s.abre();
        s.renomeia();
        QCOMPARE(s.caixas(), Sucesso);
        QVERIFY(!w->btnRnmArq->isEnabled());
        QCOMPARE(naPasta(u"C:\\RET"_s), QStringList{u"RETORNO.TXT"_s});
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("retorno\r\n"));
        QCOMPARE(naPasta(Cob), QStringList{Arquivo});
        const QList<QVariantMap> log = fixture::rows(u"Arq"_s);
        QCOMPARE(log.size(), 1);
        const QVariantMap &r = log.first();
        QCOMPARE(r[u"ArqCtrAgencia"_s].toInt(), 123);
        QCOMPARE(r[u"ArqCtrContrato"_s].toInt(), 45678);
        QCOMPARE(r[u"ArqCtrServico"_s].toString(), u"66"_s);
        QCOMPARE(r[u"ArqDataOper"_s].toDate(), Relogio.date());
        QCOMPARE(r[u"ArqHoraOper"_s].toTime(), Relogio.time());
        QCOMPARE(r[u"ArqDataOrigem"_s].toDate(), QDate(2005, 3, 15));
        QCOMPARE(r[u"ArqHoraOrigem"_s].toTime(), winfs::fileAge(u"C:\\RET\\RETORNO.TXT"_s).time());
        QCOMPARE(r[u"ArqNomeOrigem"_s].toString(), Arquivo);
        QCOMPARE(r[u"ArqNomeDestino"_s].toString(), u"RETORNO.TXT"_s);
        QCOMPARE(r[u"ArqRemessa"_s].toBool(), false);
        QCOMPARE(r[u"ArqNumRemessa"_s].toInt(), 0);

        // Declined: both files untouched, nothing logged, the pattern saved all the same.
        fixture::writeFile(Cob + u"\\"_s + Arquivo, "novo\r\n");
        QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
        QVERIFY(w->btnRnmArq->isEnabled());
        fixture::writeFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s, "Nome=outro;\r\n");
        s.boxes.answer(mrNo);
        s.renomeia();
        QCOMPARE(s.caixas(), u"Confirmação | Deseja substituir o arquivo C:\\RET\\RETORNO.TXT? | question\n"_s + NaoRenomeado);
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s), QByteArray("Nome=RETORNO;\r\nExtensao=TXT;\r\n"));
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("retorno\r\n"));
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 1);

        // Accepted: replaced, nothing left aside.
        s.renomeia();
        QCOMPARE(s.caixas(), u"Confirmação | Deseja substituir o arquivo C:\\RET\\RETORNO.TXT? | question\n"_s + Sucesso);
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("novo\r\n"));
        QCOMPARE(naPasta(u"C:\\RET"_s), QStringList{u"RETORNO.TXT"_s});
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 2);
    }

    void refusesBadNamesAndKeepsWorking_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<bool>("mantem");
        const QString invalido = Erro + u"O nome de arquivo informado não é válido\rRedigite! | error"_s;
        QTest::newRow("short") << u"20050315COB01.TXT"_s << invalido << false;
        QTest::newRow("no date") << u"20051315COB01X0123000045678.TXT"_s << invalido << false;
        QTest::newRow("letters for digits") << u"20050315COB01X01A3000045678.TXT"_s
                                            << u"Renomeia Arquivos ZQ | '01A3' is not a valid integer value. | error"_s << true;
        QTest::newRow("identifier") << u"20050315COB09X0123000045678.TXT"_s
                                    << Erro + u"O id 09 não é arquivo Retorno do sistema COB\rRedigite! | error"_s << false;
        QTest::newRow("lower case") << u"20050315cob01x0123000045678.txt"_s
                                    << Erro + u"O id 01 não é arquivo Retorno do sistema cob\rRedigite! | error"_s << false;
        QTest::newRow("contract") << u"20050315COB01X0123000099999.TXT"_s
                                  << Erro + u"O Contrato do arquivo \r20050315COB01X0123000099999.TXT\r não está cadastrado. Redigite! | error"_s
                                  << false;
        QTest::newRow("PDZ file of a COB contract")
            << u"20050315PDZ01X01230045678.TXT"_s
            << Erro + u"O arquivo 20050315PDZ01X01230045678.TXT\r não é do sistema cadastrado para o seu contrato\rVerifique!"
                      u" | error"_s
            << false;
        // Decoded with the contract length of the name before it.
        QTest::newRow("dot at neither position") << u"20050315COB01X0123000045678X.TXT"_s << QString() << true;
    }
    void refusesBadNamesAndKeepsWorking()
    {
        QFETCH(QString, nome);
        QFETCH(QString, caixa);
        QFETCH(bool, mantem);
        Janela s;
        TfrmRnmArqRetorno *w = s.abre();
        fixture::writeFile(Cob + u"\\"_s + nome, "x");
        s.escolhe(nome);
        QCOMPARE(s.caixas(), caixa);
        QCOMPARE(w->edtNomeArqKELT->text(), mantem ? nome : QString());
        // Nothing moved; the window goes on with the file picked next.
        QCOMPARE(naPasta(u"C:\\RET"_s), QStringList());
        s.escolhe(Arquivo);
        s.renomeia();
        QCOMPARE(s.caixas(), Sucesso);
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 1);
    }

    void freshWindows()
    {
        // A name with the dot at neither position, first in a new window.
        {
            Janela s;
            QFile::rename(winfs::hostPath(Cob + u"\\"_s + Arquivo), winfs::hostPath(Cob) + u"/20050315COB01X0123000045678X.TXT"_s);
            TfrmRnmArqRetorno *w = s.abre();
            QCOMPARE(s.caixas(), Erro + u"O nome de arquivo informado não é válido\rRedigite! | error"_s);
            QCOMPARE(w->TamContrato, 0);
            QVERIFY(w->edtNomeArqKELT->text().isEmpty());
            // A click into the empty name box closes the window.
            QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
            QCOMPARE(s.caixas(), Erro + u"Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados | error"_s);
            QTRY_VERIFY(!s.form);
            QVERIFY(s.principal->mnuRnmArqRetorno->isEnabled());
        }
        // The main window found a DEL file in the CCC folder; the window looks
        // in the DEL folder, where a name without digits is passed over.
        Janela s;
        fixture::addContract(8, 123456789, u"DL"_s);
        QFile::remove(winfs::hostPath(Cob + u"\\"_s + Arquivo));
        fixture::writeFile(u"C:\\ZQ\\CCC\\ENTRADA\\20050315DEL01X0008123456789.TXT"_s, "x");
        fixture::writeFile(u"C:\\ZQ\\DEL\\ENTRADA\\20050315DEL01X00A8123456789.TXT"_s, "x");
        s.abre();
        QCOMPARE(s.caixas(), Erro + u"Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados | error"_s);
        QTRY_VERIFY(!s.form);
        QVERIFY(s.principal->mnuRnmArqRetorno->isEnabled());
        fixture::writeFile(u"C:\\ZQ\\DEL\\ENTRADA\\20050315DEL01X0008123456789.TXT"_s, "del");
        TfrmRnmArqRetorno *w = s.abre();
        QCOMPARE(s.caixas(), QString());
        QCOMPARE(w->DirEntrada, u"C:\\ZQ\\DEL\\ENTRADA"_s);
        QCOMPARE(w->Label1->text(), u"Agência"_s + QString(62, u' ') + u"Convênio"_s);
        s.renomeia();
        QCOMPARE(s.caixas(), Sucesso);
        QCOMPARE(fixture::readFile(u"C:\\RETORNO.TXT"_s), QByteArray("del"));
    }

    void ipcContractTakesPdzFiles()
    {
        Janela s;
        fixture::addContract(7, 1234567, u"IP"_s, u"C:\\"_s, u"C:\\IPC"_s);
        fixture::makeDir(u"C:\\IPC"_s);
        TfrmRnmArqRetorno *w = s.abre();
        fixture::writeFile(u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s, "ipc");
        setFileChooser([](const QString &, const QString &) { return u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s; });
        w->btnDirArqKELT->click();
        QCOMPARE(w->TamContrato, 7);
        QCOMPARE(w->DirEntrada, u"C:\\ZQ\\PDZ\\ENTRADA"_s);
        s.renomeia();
        QCOMPARE(s.caixas(), Sucesso);
        QCOMPARE(fixture::readFile(u"C:\\IPC\\RETORNO.TXT"_s), QByteArray("ipc"));
    }

    void theReturnFileIsNeverLost()
    {
        // The return folder is the incoming folder spelt in other letters: renamed where it lies.
        {
            Janela s(u"c:\\zq\\cob\\entrada"_s);
            TfrmRnmArqRetorno *w = s.abre();
            // Its own name as destination: nothing is deleted.
            w->edtNomeArqRetorno->setText(Arquivo.toLower());
            s.renomeia();
            QCOMPARE(s.caixas(), NaoRenomeado);
            QCOMPARE(fixture::readFile(Cob + u"\\"_s + Arquivo), QByteArray("retorno\r\n"));
            w->edtRetornoNome->setText(u"RET"_s);
            s.renomeia();
            QCOMPARE(s.caixas(), Sucesso);
            QCOMPARE(naPasta(Cob), QStringList{u"RET.TXT"_s});
            QCOMPARE(fixture::readFile(Cob + u"\\RET.TXT"_s), QByteArray("retorno\r\n"));
        }
        Janela s;
        TfrmRnmArqRetorno *w = s.abre();
        const QString origem = Cob + u"\\"_s + Arquivo;
        auto nadaMudou = [&] {
            return naPasta(u"C:\\RET"_s) == QStringList{u"RETORNO.TXT"_s} && fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s) == "antigo"
                && fixture::readFile(origem) == "retorno\r\n" && fixture::rows(u"Arq"_s).isEmpty();
        };
        fixture::writeFile(u"C:\\RET\\RETORNO.TXT"_s, "antigo");
        // Destination names that would leave the folder or that Windows refuses.
        for (const QString &nome : {u"..\\RETORNO.TXT"_s, u"A/B"_s, u"C:X"_s, u"A?"_s, QString()}) {
            w->edtNomeArqRetorno->setText(nome);
            s.renomeia();
            QCOMPARE(s.caixas(), Erro + u"O nome do arquivo renomeado não é válido\rRedigite! | error"_s);
        }
        w->edtNomeArqRetorno->setText(u"RETORNO.TXT"_s);
        // A full disk while copying: the old delivery stays whole, the copy goes.
        QVERIFY(QFile::link(u"/dev/full"_s, winfs::hostPath(NomeTemporario(u"C:\\RET\\RETORNO.TXT"_s))));
        s.renomeia();
        QCOMPARE(s.caixas(), u"Confirmação | Deseja substituir o arquivo C:\\RET\\RETORNO.TXT? | question\n"
                             u"Renomeia Arquivos ZQ | Cannot write file C:\\RET\\RETORNO.TXT. | error"_s);
        QVERIFY(nadaMudou());
        // A read-only return file is not moved.
        winfs::setReadOnly(origem, true);
        s.renomeia();
        QCOMPARE(s.caixas(), u"Confirmação | Deseja substituir o arquivo C:\\RET\\RETORNO.TXT? | question\n"
                             u"Renomeia Arquivos ZQ | Cannot move file "_s + origem + u". | error"_s);
        QVERIFY(nadaMudou());
        winfs::setReadOnly(origem, false);
        // A name edited by hand is decoded before anything moves.
        w->edtNomeArqKELT->setText(u"20050315COB01X0123000045678.TXT.BAK"_s);
        s.renomeia();
        QCOMPARE(s.caixas(), u"Renomeia Arquivos | O arquivo C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0123000045678.TXT.BAK NÃO foi encontrado!! | information"_s);
        fixture::writeFile(Cob + u"\\2005031XCOB01X0123000045678.TXT"_s, "x");
        w->edtNomeArqKELT->setText(u"2005031XCOB01X0123000045678.TXT"_s);
        s.renomeia();
        QCOMPARE(s.caixas(), u"Renomeia Arquivos ZQ | '1X/03/2005' is not a valid date. | error"_s);
        QVERIFY(nadaMudou());
        // A return folder that is gone.
        fixture::exec(u"update Ctr set CtrDirRetorno = 'C:\\NAOHA'"_s);
        w->edtNomeArqKELT->setText(Arquivo);
        QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
        QCOMPARE(s.caixas(), QString());
        s.renomeia();
        QCOMPARE(s.caixas(), u"Renomeia Arquivos ZQ | Cannot create file C:\\NAOHA\\RETORNO.TXT. | error"_s);
        QVERIFY(nadaMudou());
    }
};

QTEST_MAIN(TstRnmArqRetorno)
#include "tst_rnmarqretorno.moc"
