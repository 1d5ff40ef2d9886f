// The return window, worked the way a user works it: return files dropped
// into the incoming folders, the window opened from the main window's command,
// the name box clicked, files picked, the pattern edited, the button pressed.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/filedialog.h"
#include "platform/filesystem/entrega.h"
#include "return/TfrmRnmArqRetorno.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Cob = u"C:\\ZQ\\COB\\ENTRADA\\"_s;
const QString Arquivo = u"20050315COB01X0123000045678.TXT"_s;
const QString Destino = u"C:\\RET\\RETORNO.TXT"_s;
const QString Erro = u"Erro de Crítica - Nome Arquivo Retorno | "_s;
const QString Invalido = Erro + u"O nome de arquivo informado não é válido\rRedigite! | error"_s;
const QString Nenhum = Erro + u"Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados | error"_s;
const QString Pergunta = u"Confirmação | Deseja substituir o arquivo C:\\RET\\RETORNO.TXT? | question\n"_s;
const QString Sucesso = u"Renomeia Arquivos | Arquivo Renomeado com Sucesso!! | information"_s;
const QString NaoRenomeado = u"Renomeia Arquivos | Arquivo NÃO foi Renomeado!! | information"_s;
const QDateTime Relogio(QDate(2026, 12, 8), QTime(14, 5, 9));

// Agency 123 with its COB contract 45678 (return folder C:\RET\) and a
// return file of it in the COB incoming folder.
struct Janela {
    explicit Janela(const QString &dirRetorno = u"C:\\RET\\"_s)
    {
        fixture::addAgency(123, u"  CENTRO "_s);
        fixture::addContract(123, 45678, u"66"_s, u"C:\\"_s, dirRetorno, u"Loja do centro"_s);
        fixture::makeDir(u"C:\\RET"_s);
        fixture::writeFile(Cob + Arquivo, "retorno\r\n");
    }
    ~Janela() { setFileChooser({}); }
    TfrmRnmArqRetorno *abre()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        principal->mnuRnmArqRetornoClick();
        form = qobject_cast<TfrmRnmArqRetorno *>(principal->frmRnmArqRetorno.data());
        return form;
    }
    // Picks a file (of the COB folder, unless a full path) in the file open dialog.
    void escolhe(const QString &nome)
    {
        setFileChooser([this, nome](const QString &inicial, const QString &) {
            pastaInicial = inicial;
            return nome.isEmpty() || nome.contains(u':') ? nome : Cob + nome;
        });
        form->btnDirArqKELT->click();
    }
    QString caixas() { return boxes.take(); }
    // Presses the button; gives the boxes shown since the last look.
    QString renomeia()
    {
        QTest::mouseClick(form->btnRnmArq, Qt::LeftButton);
        return caixas();
    }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmRnmArqRetorno> form;
    QString pastaInicial;
};

// Names in a folder, hidden ones included.
QStringList naPasta(const QString &pasta)
{
    return QDir(winfs::hostPath(pasta)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString textos(const QList<QWidget *> &controles)
{
    QStringList out;
    for (QWidget *c : controles)
        out << c->property("text").toString();
    return out.join(u'|');
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

    void identifiesDeliversLogsAndAsksBeforeReplacing()
    {
        Janela s;
        // In small letters, by way of another name: Wine leaves a rename of the letter case undone.
        QFile::rename(winfs::hostPath(Cob + Arquivo), winfs::hostPath(Cob) + u"/outro"_s);
        QFile::rename(winfs::hostPath(Cob) + u"/outro"_s, winfs::hostPath(Cob) + u"/"_s + Arquivo.toLower());
        TfrmRnmArqRetorno *w = s.abre();
        QVERIFY(w && s.caixas().isEmpty());
        QCOMPARE(w->windowTitle(), u"Renomeia Arquivo Retorno"_s);
        for (QGroupBox *g : {w->GroupBox1, w->GroupBox2, w->GroupBox3, w->GroupBox4})
            QVERIFY(g->font().bold() && g->title().startsWith(u' ') && g->title().endsWith(u' '));
        QCOMPARE(w->GroupBox4->title(), u" Padrão Nome do Arquivo Renomeado "_s);
        QVERIFY(w->btnRnmArq->isDefault() && w->btnRnmArq->isEnabled());
        QCOMPARE(w->Label5->buddy(), w->edtRetornoExtensao);
        for (QWidget *c : QList<QWidget *>{w->edtNomeArqKELT, w->edtNomeArqRetorno, w->lblDirArqKELT, w->btnDirArqKELT})
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));

        // The name shown upper-cased and decoded, its contract shown, the default pattern written.
        QCOMPARE(w->TamContrato, 9);
        QCOMPARE(w->DirEntrada + u"\\"_s, Cob);
        QCOMPARE(w->Label1->text(), u"Agência"_s + QString(62, u' ') + u"Contrato"_s);
        QCOMPARE(textos({w->lblDirArqKELT, w->edtNomeArqKELT, w->dbtDirArqRetorno, w->edtNomeArqRetorno, w->EdtAgencia,
                         w->EdtContrato, w->DBEdit1, w->lblCrtDescricao, w->edtRetornoNome, w->edtRetornoExtensao}),
                 u"C:\\ZQ\\COB\\ENTRADA|"_s + Arquivo + u"|C:\\RET\\|RETORNO.TXT|0123 - CENTRO|000045678|COB|Loja do centro|RETORNO|TXT"_s);
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s), QByteArray("Nome=retorno;\r\nExtensao=txt;\r\n"));

        // What is typed into the pattern is made capitals and composes the name.
        w->edtRetornoExtensao->clear();
        QTest::keyClicks(w->edtRetornoExtensao, u"ret"_s);
        QCOMPARE(w->edtNomeArqRetorno->text(), u"RETORNO.RET"_s);
        s.escolhe(QString());
        QCOMPARE(s.pastaInicial, Cob);
        w->edtRetornoExtensao->setText(u"TXT"_s);

        // Delivered into the return folder and logged; the return file stays.
        QCOMPARE(s.renomeia(), Sucesso);
        QVERIFY(!w->btnRnmArq->isEnabled());
        QVERIFY(naPasta(u"C:\\RET"_s) == QStringList{u"RETORNO.TXT"_s} && naPasta(Cob) == QStringList{Arquivo.toLower()});
        QCOMPARE(fixture::readFile(Destino), QByteArray("retorno\r\n"));
        QCOMPARE(fixture::rowTexts(u"Arq"_s), QStringList{u"123|45678|66|2026-12-08|14:05:09.000|"_s + Arquivo + u"|RETORNO.TXT|false|0|"
                                                          u"2005-03-15|"_s + winfs::fileAge(Destino).time().toString(Qt::ISODateWithMs)});

        // Declined: both files untouched, nothing logged, the pattern saved all the same.
        fixture::writeFile(Cob + Arquivo, "novo\r\n"); // the same file, in other letters
        QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
        QVERIFY(w->btnRnmArq->isEnabled());
        fixture::writeFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s, "Nome=outro;\r\n");
        s.boxes.answer(mrNo);
        QCOMPARE(s.renomeia(), Pergunta + NaoRenomeado);
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\ZQRen417.config"_s), QByteArray("Nome=RETORNO;\r\nExtensao=TXT;\r\n"));
        QCOMPARE(fixture::readFile(Destino), QByteArray("retorno\r\n"));
        // Accepted: replaced, nothing left aside.
        QCOMPARE(s.renomeia(), Pergunta + Sucesso);
        QCOMPARE(fixture::readFile(Destino), QByteArray("novo\r\n"));
        QVERIFY(naPasta(u"C:\\RET"_s) == QStringList{u"RETORNO.TXT"_s} && fixture::rows(u"Arq"_s).size() == 2);
    }

    void refusesBadNamesAndKeepsWorking_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("caixa");
        QTest::addColumn<bool>("mantem");
        QTest::newRow("short") << u"20050315COB01.TXT"_s << Invalido << false;
        QTest::newRow("no date") << u"20051315COB01X0123000045678.TXT"_s << Invalido << false;
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
            << Erro + u"O arquivo 20050315PDZ01X01230045678.TXT\r não é do sistema cadastrado para o seu contrato\rVerifique! | error"_s
            << false;
        QTest::newRow("not in the folder") << u"C:\\ZQ\\OUTRA\\X.TXT"_s
                                           << Erro + u"O arquivo informado não está na pasta\rC:\\ZQ\\OUTRA\rRedigite! | error"_s << true;
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
        if (!nome.contains(u':'))
            fixture::writeFile(Cob + nome, "x");
        s.escolhe(nome);
        QCOMPARE(s.caixas(), caixa);
        QCOMPARE(w->edtNomeArqKELT->text(), mantem ? winfs::extractFileName(nome) : QString());
        // A refused name leaves nothing to rename.
        QCOMPARE(w->btnRnmArq->isEnabled(), caixa.isEmpty());
        // Nothing moved; the window goes on with the file picked next.
        QCOMPARE(naPasta(u"C:\\RET"_s), QStringList());
        s.escolhe(Arquivo);
        QVERIFY(s.renomeia() == Sucesso && fixture::rows(u"Arq"_s).size() == 1);
    }

    void windowsThatFindNothingClose()
    {
        // A name with the dot at neither position, first in a new window.
        Janela s;
        QFile::rename(winfs::hostPath(Cob + Arquivo), winfs::hostPath(Cob) + u"/20050315COB01X0123000045678X.TXT"_s);
        TfrmRnmArqRetorno *w = s.abre();
        QCOMPARE(s.caixas(), Invalido);
        QCOMPARE(w->TamContrato, 0);
        QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
        QCOMPARE(s.caixas(), Nenhum);
        QTRY_VERIFY(!s.form);
        QVERIFY(s.principal->mnuRnmArqRetorno->isEnabled());

        // The main window finds DEL files in the CCC folder; the window looks
        // in the DEL folder, where a name without digits is passed over.
        fixture::addContract(8, 123456789, u"DL"_s);
        QFile::remove(winfs::hostPath(Cob + u"20050315COB01X0123000045678X.TXT"_s));
        fixture::writeFile(u"C:\\ZQ\\CCC\\ENTRADA\\20050315DEL01X0008123456789.TXT"_s, "x");
        fixture::writeFile(u"C:\\ZQ\\DEL\\ENTRADA\\20050315DEL01X00A8123456789.TXT"_s, "x");
        s.abre();
        QCOMPARE(s.caixas(), Nenhum);
        QTRY_VERIFY(!s.form);
        fixture::writeFile(u"C:\\ZQ\\DEL\\ENTRADA\\20050315DEL01X0008123456789.TXT"_s, "del");
        w = s.abre();
        QVERIFY(s.caixas().isEmpty() && w->DirEntrada == u"C:\\ZQ\\DEL\\ENTRADA"_s);
        QCOMPARE(w->Label1->text(), u"Agência"_s + QString(62, u' ') + u"Convênio"_s);
        QCOMPARE(s.renomeia(), Sucesso);
        QCOMPARE(fixture::readFile(u"C:\\RETORNO.TXT"_s), QByteArray("del"));

        // An IPC contract takes its files from the PDZ folder.
        fixture::addContract(7, 1234567, u"IP"_s, u"C:\\"_s, u"C:\\IPC"_s);
        fixture::makeDir(u"C:\\IPC"_s);
        fixture::writeFile(u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s, "ipc");
        s.escolhe(u"C:\\ZQ\\PDZ\\ENTRADA\\20050315PDZ01X00071234567.TXT"_s);
        QVERIFY(w->TamContrato == 7 && w->DirEntrada == u"C:\\ZQ\\PDZ\\ENTRADA"_s);
        QCOMPARE(s.renomeia(), Sucesso);
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
            QCOMPARE(s.renomeia(), NaoRenomeado);
            w->edtRetornoNome->setText(u"RET"_s);
            QVERIFY(s.renomeia() == Sucesso && naPasta(Cob) == QStringList{u"RET.TXT"_s});
            QCOMPARE(fixture::readFile(Cob + u"RET.TXT"_s), QByteArray("retorno\r\n"));
        }
        Janela s;
        TfrmRnmArqRetorno *w = s.abre();
        fixture::writeFile(Destino, "antigo");
        auto nadaMudou = [&] {
            return naPasta(u"C:\\RET"_s) == QStringList{u"RETORNO.TXT"_s} && fixture::readFile(Destino) == "antigo"
                && fixture::readFile(Cob + Arquivo) == "retorno\r\n" && fixture::rows(u"Arq"_s).isEmpty();
        };
        // Destination names that would leave the folder or that Windows refuses.
        for (const QString &nome : {u"..\\RETORNO.TXT"_s, u"A/B"_s, u"C:X"_s, u"A?"_s, u"con"_s, u"LPT1.TXT"_s, u"RETORNO."_s}) {
            w->edtNomeArqRetorno->setText(nome);
            QCOMPARE(s.renomeia(), Erro + u"O nome do arquivo renomeado não é válido\rRedigite! | error"_s);
        }
        // No destination name, nothing to rename.
        w->edtNomeArqRetorno->clear();
        QVERIFY(!w->btnRnmArq->isEnabled());
        w->edtNomeArqRetorno->setText(u"RETORNO.TXT"_s);
        // A full disk while copying: the old delivery stays whole, the copy goes, the cause is told.
        if (fixture::fullDisk(winfs::Entrega::nomeTemporario(Destino, Relogio, false))) {
            QCOMPARE(s.renomeia(), Pergunta + u"Renomeia Arquivos | Não há espaço no disco para gravar o arquivo C:\\RET\\RETORNO.TXT\r"_s
                                       u"Arquivo NÃO foi Renomeado!! | information"_s);
            QVERIFY(nadaMudou());
        }
        // A read-only return file is not moved.
        winfs::setReadOnly(Cob + Arquivo, true);
        QCOMPARE(s.renomeia(), Pergunta + u"Renomeia Arquivos ZQ | Cannot move file "_s + Cob + Arquivo + u". | error"_s);
        QVERIFY(nadaMudou());
        winfs::setReadOnly(Cob + Arquivo, false);
        // A name edited by hand is decoded before anything moves.
        w->edtNomeArqKELT->setText(Arquivo + u".BAK"_s);
        QCOMPARE(s.renomeia(), u"Renomeia Arquivos | O arquivo "_s + Cob + Arquivo + u".BAK NÃO foi encontrado!! | information"_s);
        fixture::writeFile(Cob + u"2005031XCOB01X0123000045678.TXT"_s, "x");
        w->edtNomeArqKELT->setText(u"2005031XCOB01X0123000045678.TXT"_s);
        QCOMPARE(s.renomeia(), u"Renomeia Arquivos ZQ | '1X/03/2005' is not a valid date. | error"_s);
        QVERIFY(nadaMudou());
        // A return folder that is gone.
        fixture::exec(u"update Ctr set CtrDirRetorno = 'C:\\NAOHA'"_s);
        w->edtNomeArqKELT->setText(Arquivo);
        QTest::mouseClick(w->edtNomeArqKELT, Qt::LeftButton);
        QCOMPARE(s.renomeia(), u"Renomeia Arquivos ZQ | Cannot create file C:\\NAOHA\\RETORNO.TXT. | error"_s);
        QVERIFY(nadaMudou());
    }
};

QTEST_MAIN(TstRnmArqRetorno)
#include "tst_rnmarqretorno.moc"
