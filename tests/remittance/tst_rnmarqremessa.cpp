// The remittance window, driven the way a user drives it: opened from the main
// window's command, a contract chosen, a file clicked, the button pressed and
// the boxes answered; then the delivered bytes, the names and the log rows.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "platform/filesystem/entrega.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/folderdialog.h"
#include "remittance/TfrmRnmArqRemessa.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>


using namespace Qt::StringLiterals;

namespace {

const QString Saida = u"C:\\ZQ\\COB\\SAIDA\\"_s;
const QString Nome1 = u"COB01660510012000345678P.TXT"_s;
const QString Sucesso = u"Renomeia Arquivos | Arquivo Renomeado com Sucesso!! | information"_s;
const QString Nao = u"Renomeia Arquivos | Arquivo NÃO foi Renomeado!! | information"_s;
const QString NaoLabel = u"Arquivo NÃO foi Renomeado!!"_s;
const QDateTime Dia5(QDate(2026, 3, 5), QTime(10, 20, 30));

QString erroIO(const QString &origem, const QString &mensagem, int codigo = 0)
{
    return u"Renomeia Arquivos | Arquivo "_s + origem + u"não foi Renomeado!!\rIOError <%1> - "_s.arg(codigo) + mensagem
        + u" | information"_s;
}

void arquivo(const QString &nome, const QByteArray &bytes, const QDateTime &carimbo = Dia5)
{
    fixture::writeFile(nome, bytes);
    winfs::setFileAge(nome, carimbo);
}

// The delivery of destino at that moment writes to a full disk; false where
// the host cannot make one.
bool discoCheio(const QString &destino, const QDateTime &momento)
{
    return fixture::fullDisk(winfs::Entrega::nomeTemporario(destino, momento, false));
}

// Agency 12 with its COB contract 345678 (remittance folder C:\REM), the
// clock on 20 March 2026 at 9:00.
struct Sessao {
    Sessao()
    {
        setApplicationTitle(u"Renomeia Arquivos ZQ"_s);
        setClock([this] { return agora; });
        fixture::addAgency(12, u"AGENCIA COM UM NOME COMPRIDO DEMAIS"_s);
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
    }
    ~Sessao()
    {
        setFolderBrowser({});
        setClock({});
        setMessageResponder({});
        if (form)
            delete form->parentWidget();
    }
    TfrmRnmArqRemessa *abre()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        (void)QTest::qWaitForWindowExposed(principal.get());
        principal->mnuRnmArqRemessaClick();
        form = qobject_cast<TfrmRnmArqRemessa *>(principal->frmRnmArqRemessa.data());
        if (!form)
            qFatal("remittance window not open: %s", qPrintable(boxes.dump()));
        QApplication::setActiveWindow(form->window());
        return form;
    }
    void escolhe(const QString &inicio)
    {
        const int i = form->cmbContrato->findText(inicio, Qt::MatchStartsWith);
        form->cmbContrato->setFocus();
        form->cmbContrato->setCurrentIndex(i);
        emit form->cmbContrato->activated(i);
    }
    void clica(const QString &nome)
    {
        FileListBox *l = form->flbNomeArqRemessa;
        l->refresh();
        const QModelIndex i = l->model()->index(int(l->items().indexOf(nome)), 0);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualRect(i).center());
    }
    QStringList caixas() { return boxes.take().split(u'\n', Qt::SkipEmptyParts); }
    // Presses the button; gives the boxes shown since the last look.
    QStringList renomeia()
    {
        QTest::mouseClick(form->btnRnmArq, Qt::LeftButton);
        return caixas();
    }
    // The name box, the standard name, the status label and the focused control.
    QString estado() const
    {
        const QWidget *foco = QApplication::focusWidget();
        return QStringList{form->edtNomeArqRemessa->text(), form->lblNomeArqKELT->text(), form->Label4->text(),
                           foco ? foco->objectName() : QString()}
            .join(u'|');
    }
    QStringList saida() const { return QDir(winfs::hostPath(Saida)).entryList(QDir::Files | QDir::Hidden); }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    QDateTime agora{QDate(2026, 3, 20), QTime(9, 0, 0)};
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmRnmArqRemessa> form;
};

} // namespace

class TstRnmArqRemessa : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    void janelaEContratos()
    {
        Sessao s;
        fixture::addContract(7, 55, u"O6"_s, u"C:\\REM2\\"_s);
        fixture::addContract(8, 1234567, u"IP"_s, u"C:\\REM"_s);
        fixture::addContract(9, 99, u"DL"_s, u"C:\\REM"_s);
        fixture::makeDir(u"C:\\REM2"_s);
        fixture::makeDir(u"C:\\REM"_s);
        // What a killed delivery left is gone when the window opens.
        const QString sobra = winfs::Entrega::nomeTemporario(Saida + Nome1, Dia5, false);
        fixture::writeFile(sobra, "parte");
        TfrmRnmArqRemessa *f = s.abre();
        QVERIFY(!winfs::fileExists(sobra));
        QCOMPARE(f->windowTitle(), u"Renomeia Arquivo Remessa"_s);
        QCOMPARE(f->parentWidget()->size(), QSize(539, 405));
        QCOMPARE(f->cmbContrato->itemText(3), u"0012 - AGENCIA COM UM NOME COMPR000345678   66"_s);
        QVERIFY(QFontInfo(f->cmbContrato->font()).fixedPitch());
        // The first contract (PDZ), folder without its backslash, nothing chosen yet.
        const QString blancos(73, u' ');
        QCOMPARE(f->Label1->text(), u"Agência"_s + blancos + u"Convênio"_s);
        QCOMPARE(f->DirRemessa, u"C:\\REM2"_s);
        QCOMPARE(f->lblDirArqKELT->text(), u"C:\\ZQ\\PDZ\\SAIDA"_s);
        QCOMPARE(s.estado(), u"||     |cmbContrato"_s);
        // No name composed yet: nothing to rename.
        QVERIFY(!f->btnRnmArq->isEnabled() && f->btnRnmArq->isDefault());
        for (auto [entrada, pasta] : {std::pair{u"0008"_s, u"C:\\ZQ\\PDZ\\SAIDA"_s}, {u"0009"_s, u"C:\\ZQ\\CCC\\SAIDA"_s},
                                      {u"0012"_s, u"C:\\ZQ\\COB\\SAIDA"_s}}) {
            s.escolhe(entrada);
            QCOMPARE(f->lblDirArqKELT->text(), pasta);
        }
        QCOMPARE(f->Label1->text(), u"Agência"_s + blancos + u"Contrato"_s);
        QCOMPARE(winfs::currentDir(), u"C:\\REM"_s);
        // Every control is announced by a screen reader.
        for (QWidget *w : f->findChildren<QWidget *>()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"_s) && w->metaObject() != &QFrame::staticMetaObject)
                QVERIFY2(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(w->objectName()));
        }
    }

    void renomeiaComONumeroDoDia()
    {
        Sessao s;
        // The log holds another contract's row first.
        fixture::exec(u"insert into Arq values (1, 1, '66', '2026-03-19', '08:00:00', 'C:\\X', 'N', 1, 1, '2026-03-05', '08:00:00')"_s);
        const QString daAgencia = u"Arq where ArqCtrAgencia = 12"_s;
        arquivo(u"C:\\REM\\a.txt"_s, "linha um\r\n\r\n  \r\nlinha dois");
        arquivo(u"C:\\REM\\b ação.txt"_s, "b\n", Dia5.addSecs(-7200));
        arquivo(u"C:\\REM\\c.txt"_s, "c\n", Dia5.addDays(1));
        TfrmRnmArqRemessa *f = s.abre();
        s.escolhe(u"0012"_s);
        QCOMPARE(f->edtNomeArqRemessa->text(), u"a.txt"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), Nome1);
        f->RadGrpAmbiente->button(1)->click();
        QCOMPARE(f->lblNomeArqKELT->text(), u"COB01660510012000345678T.TXT"_s);
        f->RadGrpAmbiente->button(0)->click();
        QCOMPARE(s.renomeia(), QStringList{Sucesso});
        QCOMPARE(fixture::readFile(Saida + Nome1), QByteArray("linha um").leftJustified(400, ' ') + "\r\n"
                                                        + QByteArray("linha dois").leftJustified(400, ' ') + "\r\n");
        QCOMPARE(s.saida(), QStringList{Nome1});
        QCOMPARE(fixture::readFile(u"C:\\REM\\a.txt"_s), QByteArray("linha um\r\n\r\n  \r\nlinha dois"));
        QVERIFY(!f->btnRnmArq->isEnabled() && f->ProgressBar1->position() == 0);
        QCOMPARE(s.estado(), u"a.txt|"_s + Nome1 + u"||cmbContrato"_s);
        QCOMPARE(fixture::rowTexts(daAgencia), QStringList{u"12|345678|66|2026-03-20|09:00:00.000|C:\\REM\\a.txt|"_s + Nome1
                                                          + u"|true|1|2026-03-05|10:20:30.000"_s});

        // Files of the same day count on, whatever their times; another day starts at 1.
        s.clica(u"b ação.txt"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), u"COB01660520012000345678P.TXT"_s);
        s.renomeia();
        s.clica(u"c.txt"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), u"COB01660610012000345678P.TXT"_s);
        QCOMPARE(fixture::rows(daAgencia, u"ArqNumRemessa desc"_s)[0][u"ArqNomeOrigem"_s], u"C:\\REM\\b ação.txt"_s);

        // A file renamed before: No forgets it, Yes keeps its number and its one record.
        const QString pergunta = u"Confirmação | O arquivo informado já foi renomeado\r"_s + Nome1
            + u"\rDeseja renomeá-lo novamente? | question"_s;
        s.boxes.answer(mrNo);
        s.clica(u"a.txt"_s);
        QCOMPARE(s.caixas(), QStringList{pergunta});
        QCOMPARE(s.estado(), u"|||edtNomeArqRemessa"_s);
        s.clica(u"a.txt"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), Nome1);
        s.agora = s.agora.addSecs(60);
        QCOMPARE(s.renomeia(), (QStringList{pergunta, u"Confirmação | Deseja substituir o arquivo"_s + Saida + Nome1
                                                        + u"? | question"_s, Sucesso}));
        const QStringList log = fixture::rowTexts(daAgencia, u"ArqNumRemessa"_s);
        QVERIFY(log.size() == 2 && log[0].contains(u"|09:01:00.000|C:\\REM\\a.txt|"_s));
        // Modified since: a new file with the next number.
        winfs::setFileAge(u"C:\\REM\\a.txt"_s, Dia5.addSecs(60));
        s.clica(u"a.txt"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), u"COB01660530012000345678P.TXT"_s);
        QCOMPARE(s.boxes.count(), 0);
    }

    void noveArquivosPorDia()
    {
        Sessao s;
        for (int n = 1; n <= 9; ++n)
            fixture::exec(u"insert into Arq values (12, 345678, '66', '2026-03-21', '08:00:00', 'C:\\X\\%1', 'N', 1, %1, "
                          "'2026-03-05', '08:00:00')"_s.arg(n));
        arquivo(u"C:\\REM\\a.txt"_s, "a\n");
        s.abre();
        s.escolhe(u"0012"_s);
        QCOMPARE(s.caixas(), QStringList{u"Renomeia Arquivos | Só é permitida a remessa de 9(nove) arquivos\rem cada dia "
                                         "(dia de formatação)\rArquivo NÃO pode ser Renomeado!! | information"_s});
        QCOMPARE(s.estado(), u"a.txt||     |edtNomeArqRemessa"_s);
        // Without a name there is nothing to rename: Enter and leaving the list change nothing.
        fixture::makeDir(Saida);
        QTest::keyClick(s.form->edtNomeArqRemessa, Qt::Key_Return);
        s.form->cmbContratoExit();
        QVERIFY(!s.form->btnRnmArq->isEnabled());
        QVERIFY(s.caixas().isEmpty() && winfs::directoryExists(Saida));
    }

    void falhasNaoPerdemNada()
    {
        Sessao s;
        arquivo(u"C:\\REM\\a.txt"_s, "a\r\n");
        const QByteArray grande = (QByteArray(300, 'g') + "\r\n").repeated(1000);
        arquivo(u"C:\\REM\\grande.txt"_s, grande);
        TfrmRnmArqRemessa *f = s.abre();
        s.escolhe(u"0012"_s);
        // The folder path is taken by a file.
        fixture::writeFile(u"C:\\ZQ\\COB\\Saida"_s, "x");
        QCOMPARE(s.renomeia(), (QStringList{erroIO(u"C:\\REM\\a.txt"_s, u"Não foi possível criar a pasta C:\\ZQ\\COB\\Saida"_s), Nao}));
        QFile::remove(winfs::hostPath(u"C:\\ZQ\\COB\\Saida"_s));
        // A replaced file, then a full disk: the old file stays whole, the cause is told, nothing is logged.
        const QString pergunta = u"Confirmação | Deseja substituir o arquivo"_s + Saida + Nome1 + u"? | question"_s;
        const QString cheio = u"Renomeia Arquivos | Não há espaço no disco para gravar o arquivo "_s + Saida + Nome1 + u"\r"_s + NaoLabel
            + u" | information"_s;
        fixture::writeFile(Saida + Nome1, "antigo");
        if (discoCheio(Saida + Nome1, s.agora)) {
            QCOMPARE(s.renomeia(), (QStringList{pergunta, cheio}));
            QCOMPARE(s.saida(), QStringList{Nome1});
            QCOMPARE(fixture::readFile(Saida + Nome1), QByteArray("antigo"));
        }
        // Full in the middle of the pass.
        QFile::remove(winfs::hostPath(Saida + Nome1));
        s.clica(u"grande.txt"_s);
        if (discoCheio(Saida + Nome1, s.agora)) {
            QCOMPARE(s.renomeia(), QStringList{cheio});
            QCOMPARE(f->Label4->text(), NaoLabel);
            QVERIFY(s.saida().isEmpty());
        }
        // Another program writing the source since its name was composed.
        {
            fixture::HeldOpen outro(u"C:\\REM\\grande.txt"_s);
            QVERIFY(outro.held());
            // The code shown is that of the failing open.
            QCOMPARE(s.renomeia(), (QStringList{erroIO(u"C:\\REM\\grande.txt"_s, u"I/O error 32"_s, 32), Nao}));
            // Picked while the other program writes it: said at once, and no name.
            s.clica(u"grande.txt"_s);
            QCOMPARE(s.caixas(), QStringList{u"Renomeia Arquivos | O arquivo C:\\REM\\grande.txt está em uso por outro programa | information"_s});
            QVERIFY(f->lblNomeArqKELT->text().isEmpty() && !f->btnRnmArq->isEnabled());
        }
        // Replacing declined; a source gone before the button.
        fixture::writeFile(Saida + Nome1, "antigo");
        s.clica(u"a.txt"_s);
        s.boxes.answer(mrNo);
        QCOMPARE(s.renomeia().last(), Nao);
        QCOMPARE(fixture::readFile(Saida + Nome1), QByteArray("antigo"));
        QFile::remove(winfs::hostPath(u"C:\\REM\\a.txt"_s));
        QCOMPARE(s.renomeia(), QStringList{u"Renomeia Arquivos | Não existem arquivos remessa dos contratos\rcadastrados a serem "
                                         "renomeados | information"_s});
        QCOMPARE(QApplication::focusWidget(), f->edtNomeArqRemessa);
        QVERIFY(fixture::rows(u"Arq"_s).isEmpty());
        QCOMPARE(fixture::readFile(u"C:\\REM\\grande.txt"_s), grande);
    }

    void entradasRuins()
    {
        Sessao s;
        fixture::addContract(12, 5, u"ZZ"_s, u"C:\\REM"_s);
        fixture::addContract(13, 1, u"O6"_s, u"C:\\NADA"_s);
        fixture::addContract(14, 1, u"IP"_s, u"C:\\REM"_s);
        fixture::addContract(15, 1, u"66"_s, u"C:\\ZQ\\COB\\SAIDA"_s);
        arquivo(u"C:\\REM\\a.txt"_s, "a\r\n");
        fixture::makeDir(u"C:\\OUTRA"_s);
        TfrmRnmArqRemessa *f = s.abre();
        // A service with no record: no name.
        s.escolhe(u"0012 - AGENCIA COM UM NOME COMPR000000005"_s);
        QCOMPARE(s.caixas(), QStringList{u"Renomeia Arquivos | O serviço ZZ do contrato não está cadastrado\rArquivo NÃO pode "
                                         "ser Renomeado!! | information"_s});
        QCOMPARE(s.estado(), u"a.txt||     |cmbContrato"_s);
        // A remittance folder that is gone: the error, and no file of another contract shown.
        s.escolhe(u"0013"_s);
        QCOMPARE(s.caixas(), QStringList{u"Renomeia Arquivos ZQ | Path not found: C:\\NADA. | error"_s});
        QVERIFY(!f->flbNomeArqRemessa->isEnabled());
        QCOMPARE(s.estado(), u"||     |cmbContrato"_s);
        // The remittance folder is the outgoing folder and the file already has its name: it stays.
        arquivo(Saida + u"cob01660510015000000001p.txt"_s, "dados\r\n");
        s.escolhe(u"0015"_s);
        QCOMPARE(f->lblNomeArqKELT->text(), u"COB01660510015000000001P.TXT"_s);
        QCOMPARE(s.renomeia(), QStringList{Nao});
        QCOMPARE(fixture::readFile(Saida + u"cob01660510015000000001p.txt"_s), QByteArray("dados\r\n"));
        // IPC delivers into the PDZ folder, which must exist: its own folder is made, the file is not.
        s.escolhe(u"0014"_s);
        QVERIFY(f->flbNomeArqRemessa->isEnabled());
        QCOMPARE(f->lblNomeArqKELT->text(), u"IPC10IP05100140000001P.TXT"_s);
        QCOMPARE(s.renomeia(), (QStringList{erroIO(u"C:\\REM\\a.txt"_s, u"Path not found"_s, 3), Nao}));
        QVERIFY(winfs::directoryExists(u"C:\\ZQ\\IPC\\Saida"_s));
        // A typed name that is not there.
        f->edtNomeArqRemessa->setFocus();
        f->edtNomeArqRemessa->setText(u"x.txt"_s);
        f->cmbContrato->setFocus();
        QCOMPARE(s.caixas(), QStringList{u"Erro de Crítica - Nome Arquivo Remessa | O arquivo x.txt não existe\rRedigite! | error"_s});
        QVERIFY(f->edtNomeArqRemessa->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), f->edtNomeArqRemessa);
        // Another folder: the typed name stays and is looked for there.
        setFolderBrowser([](const QString &titulo, const QString &raiz) {
            return titulo == u"Diretório Arquivo Remessa"_s && raiz == MyComputerRoot ? u"C:\\OUTRA"_s : QString();
        });
        f->edtNomeArqRemessa->setText(u"a.txt"_s);
        f->btnDirArqKELT->click();
        QCOMPARE(f->DirRemessa, u"C:\\OUTRA"_s);
        QCOMPARE(f->edtNomeArqRemessa->text(), u"a.txt"_s);
        QCOMPARE(f->dbtDirArqRemessa->text(), u"C:\\REM"_s);
        QCOMPARE(s.boxes.count(), 0);
    }

    // A file with faults that make banks reject it: the box, No as its
    // default; No delivers nothing, Yes delivers as it is, Converter the
    // Windows-1252 text of a UTF-8 file.
    void conferenciaDoArquivo()
    {
        Sessao s;
        const QByteArray longa = QByteArray(400, 'x') + "2\r\n";
        arquivo(u"C:\\REM\\a.txt"_s, "cabecalho\r\n" + longa);
        arquivo(u"C:\\REM\\b.txt"_s, "JOS\xc3\x89 DA SILVA\r\n", Dia5.addDays(1));
        TfrmRnmArqRemessa *f = s.abre();
        s.escolhe(u"0012"_s);
        BoxRecord caixa;
        QList<int> respostas{mrNo, mrYes};
        setMessageResponder([&](const BoxRecord &b) {
            if (b.title != u"Conferência do Arquivo"_s)
                return int(mrOk);
            caixa = b;
            return respostas.takeFirst();
        });
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(caixa.text, u"Linha 2: 1 caractere além da posição 400 cortado: \"2\"\r\rRenomear o arquivo assim mesmo?"_s);
        QVERIFY(caixa.style == MsgStyle::Question && caixa.defaultAnswer == mrNo && caixa.extraButtons.isEmpty());
        QCOMPARE(f->Label4->text(), NaoLabel);
        QVERIFY(s.saida().isEmpty() && fixture::rows(u"Arq"_s).isEmpty());
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(fixture::readFile(Saida + Nome1).right(402), longa.left(400) + "\r\n");
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 1);

        s.clica(u"b.txt"_s);
        respostas = {mrExtra};
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(caixa.extraButtons, QStringList{u"Converter"_s});
        QVERIFY(caixa.text.startsWith(u"Linha 1: texto em UTF-8, com mais de um byte por caractere: \"É\""_s));
        QCOMPARE(fixture::readFile(Saida + u"COB01660610012000345678P.TXT"_s), QByteArray("JOS\xc9 DA SILVA").leftJustified(400, ' ') + "\r\n");
        QCOMPARE(fixture::readFile(u"C:\\REM\\b.txt"_s), QByteArray("JOS\xc3\x89 DA SILVA\r\n"));

        // The ERP writes the first file again under another name: the bank would register it twice.
        arquivo(u"C:\\REM\\c.txt"_s, "cabecalho\r\n" + longa, Dia5.addDays(2));
        s.clica(u"c.txt"_s);
        respostas = {mrNo};
        QTest::mouseClick(f->btnRnmArq, Qt::LeftButton);
        QCOMPARE(caixa.text, u"Conteúdo igual ao do arquivo "_s + Nome1 + u" entregue em 20/03/2026 às 09:00:00\r"
                             u"Linha 2: 1 caractere além da posição 400 cortado: \"2\"\r\rRenomear o arquivo assim mesmo?"_s);
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 2);
    }

    // A source over 2 GiB: the bar is scaled, never overflowed. The window is
    // painted a few dozen times a second, not once a line.
    void fonteGrandeEPinturas()
    {
        Sessao s;
        // Holes of a memory file system read as zeros without taking memory.
        QTemporaryDir memoria(u"/dev/shm/zq-XXXXXX"_s);
        const QString pasta = memoria.isValid() ? winfs::windowsPath(memoria.path()) : u"C:\\REM"_s;
        fixture::makeDir(pasta);
        fixture::exec(u"update Ctr set CtrDirRemessa = '%1'"_s.arg(pasta));
        const qint64 vazio = (qint64(1) << 31) + 10;
        {
            QFile f(winfs::hostPath(pasta) + u"/grande.txt"_s);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(vazio));
            f.seek(vazio);
            f.write("\r\nX\r\n");
        }
        winfs::setFileAge(pasta + u"\\grande.txt"_s, Dia5);
        arquivo(pasta + u"\\linhas.txt"_s, QByteArray("0123456789\r\n").repeated(200000), Dia5.addDays(1));
        TfrmRnmArqRemessa *f = s.abre();
        s.escolhe(u"0012"_s);
        // The bar and the label as the closing box finds them.
        qint64 posicao = 0;
        double cheia = 0;
        QString texto;
        setMessageResponder([&](const BoxRecord &) {
            posicao = f->ProgressBar1->position();
            cheia = f->ProgressBar1->fraction();
            texto = f->Label4->text();
            return int(mrOk);
        });
        s.renomeia();
        QVERIFY(texto == u"Arquivo OK"_s && cheia == 1.0);
        QCOMPARE(posicao, 1 + vazio + 1 + 100);
        QCOMPARE(f->ProgressBar1->max(), vazio + 5);
        QCOMPARE(fixture::readFile(Saida + Nome1), QByteArray("X").leftJustified(400, ' ') + "\r\n");

        struct Pinturas : QObject {
            int n = 0;
            bool eventFilter(QObject *, QEvent *e) override { return n += e->type() == QEvent::Paint, false; }
        } pinturas;
        f->Label4->installEventFilter(&pinturas);
        s.clica(u"linhas.txt"_s);
        QElapsedTimer relogio;
        relogio.start();
        s.renomeia();
        QCOMPARE(texto, u"Arquivo OK"_s);
        QCOMPARE(posicao, 1 + 200000 * 10 + 100);
        // A paint per line, or per few dozen lines, would be thousands; the
        // margin covers the paints that do not come from the pass (the box,
        // the window after it) and a machine that stalls between two looks
        // at the clock.
        QVERIFY2(pinturas.n >= 3 && pinturas.n <= relogio.elapsed() / 30 + 60, qPrintable(QString::number(pinturas.n)));
    }
};

QTEST_MAIN(TstRnmArqRemessa)
#include "tst_rnmarqremessa.moc"
