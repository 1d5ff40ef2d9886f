// The window base: guarded handlers, closing, the default button, teardown,
// the main frame; and the exit of plain edits and combo boxes.
#include "common/fixture.h"

#include "platform/runtime/convert.h"
#include "platform/windowing/forms.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Emits from its destructor, as a control may while its window goes.
class Emissor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Emissor() override { emit sinal(); }
signals:
    void sinal();
};

QStringList chamadas;

class TfrmTeste : public TForm {
    Q_OBJECT
public:
    explicit TfrmTeste(bool falhaAoCriar = false, QWidget *parent = nullptr) : TForm(parent), falhaAoCriar(falhaAoCriar)
    {
        auto *layout = new QVBoxLayout(this);
        for (QWidget *w : std::initializer_list<QWidget *>{edtNome, cmbLista, btnOk, btnOutro})
            layout->addWidget(w);
        cmbLista->addItems({u"um"_s, u"dois"_s});
        btnOk->setDefault(true);
        on(btnOk, &QPushButton::clicked, &TfrmTeste::btnOkClick);
        on(btnOutro, &QPushButton::clicked, [] { chamadas << u"btnOutro"_s; });
        on(edtNome, &QLineEdit::textChanged, &TfrmTeste::edtNomeChange);
        on(emissor, &Emissor::sinal, &TfrmTeste::btnOkClick);
        onExit(edtNome, &TfrmTeste::edtNomeExit);
        onExit(cmbLista, [] { chamadas << u"cmbListaExit"_s; });
        createForm();
    }
    void FormCreate() override
    {
        chamadas << u"FormCreate"_s;
        if (falhaAoCriar)
            StrToInt(u"x"_s);
    }
    bool FormClose() override
    {
        chamadas << u"FormClose"_s;
        if (edtNome->text() == u"erro"_s)
            StrToInt(edtNome->text());
        return edtNome->text() != u"fica"_s;
    }
    void btnOkClick() { chamadas << u"btnOk"_s; }
    void edtNomeChange(const QString &texto)
    {
        if (texto == u"0"_s)
            StrToInt(u"zero"_s);
    }
    void edtNomeExit()
    {
        chamadas << u"edtNomeExit"_s;
        if (edtNome->text().isEmpty())
            edtNome->setFocus();
    }

    bool falhaAoCriar;
    QLineEdit *edtNome = new QLineEdit(this);
    QComboBox *cmbLista = new QComboBox(this);
    QPushButton *btnOk = new QPushButton(u"Ok"_s, this);
    QPushButton *btnOutro = new QPushButton(u"Outro"_s, this);
    Emissor *emissor = new Emissor(this);
};

class Moldura : public QMainWindow, public MdiFrame {
public:
    Moldura()
    {
        entrada->setObjectName(u"mnuX"_s);
        painel->addPanel(100);
    }
    QAction *menuEntry(const QString &name) override { return findChild<QAction *>(name); }
    StatusPanels *statusPanels() override { return painel; }
    QMdiArea *mdiArea() override { return nullptr; }
    QAction *entrada = new QAction(this);
    StatusPanels *painel = new StatusPanels(this);
};

} // namespace

class TstForms : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        chamadas.clear();
        setApplicationTitle(u"Renomeia Arquivos ZQ"_s);
    }

    void handlersRunInsideTheGuard()
    {
        fixture::Boxes boxes;
        delete new TfrmTeste(true);
        QCOMPARE(boxes.take(), u"Renomeia Arquivos ZQ | 'x' is not a valid integer value. | error"_s);
        TfrmTeste f;
        f.show();
        f.edtNome->setText(u"0"_s); // a handler with the signal's argument
        QCOMPARE(boxes.take(), u"Renomeia Arquivos ZQ | 'zero' is not a valid integer value. | error"_s);
        // FormClose may keep the window open, by its answer or by an error.
        f.edtNome->setText(u"fica"_s);
        QVERIFY(!f.close());
        f.edtNome->setText(u"erro"_s);
        QVERIFY(!f.close());
        QCOMPARE(boxes.take(), u"Renomeia Arquivos ZQ | 'erro' is not a valid integer value. | error"_s);
        QVERIFY(f.isVisible());
        // Once the close is accepted nothing reaches the handlers.
        f.edtNome->setText(u"sai"_s);
        QVERIFY(f.close());
        f.btnOk->click();
        // Nor while a window goes.
        delete new TfrmTeste;
        QCOMPARE(chamadas, QStringList({"FormCreate", "FormCreate", "FormClose", "FormClose", "FormClose", "FormCreate"}));
    }

    void enterAndExit()
    {
        fixture::Boxes boxes;
        TfrmTeste f;
        f.show();
        QApplication::setActiveWindow(&f);
        // Enter presses the focused button, or else the default one.
        f.edtNome->setText(u"a"_s);
        f.edtNome->setFocus();
        QTest::keyClick(f.edtNome, Qt::Key_Return);
        f.btnOutro->setFocus();
        QTest::keyClick(f.btnOutro, Qt::Key_Enter, Qt::KeypadModifier);
        f.btnOk->setEnabled(false);
        f.cmbLista->setFocus();
        QTest::keyClick(f.cmbLista, Qt::Key_Return);
        QCOMPARE(chamadas, QStringList({"FormCreate", "btnOk", "edtNomeExit", "btnOutro"}));
        // Leaving a plain edit or a combo box runs its exit handler.
        f.edtNome->setFocus();
        chamadas.clear();
        f.cmbLista->setFocus(Qt::TabFocusReason);
        f.btnOutro->setFocus(Qt::TabFocusReason);
        QCOMPARE(chamadas, QStringList({"edtNomeExit", "cmbListaExit"}));
        // The exit handler puts the focus back: the click that moved it does not press the button.
        chamadas.clear();
        f.edtNome->clear();
        f.edtNome->setFocus();
        QTest::mouseClick(f.btnOutro, Qt::LeftButton);
        QCOMPARE(chamadas, QStringList({"edtNomeExit"}));
        QCOMPARE(QApplication::focusWidget(), f.edtNome);
        QCOMPARE(boxes.count(), 0);
    }

    void theMainFrameOfAWindow()
    {
        // Without a main frame, a window on its own does nothing with it.
        TfrmTeste sozinho;
        QVERIFY(!sozinho.mainFrame());
        sozinho.enableMainMenuEntry(u"mnuErrado"_s);
        sozinho.setMainStatusPanel(0, u"x"_s);

        Moldura moldura;
        auto *f = new TfrmTeste(false, &moldura);
        QCOMPARE(f->mainFrame(), static_cast<MdiFrame *>(&moldura));
        f->enableMainMenuEntry(u"mnuX"_s, false);
        f->setMainStatusPanel(0, u"Pronto"_s);
        QVERIFY(!moldura.entrada->isEnabled() && moldura.painel->panelText(0) == u"Pronto"_s);
        // A misspelt entry is an error, not silence.
        QCOMPARE(fixture::errorOf([&] { f->enableMainMenuEntry(u"mnuErrado"_s); }),
                 u"The main window has no menu entry named 'mnuErrado'"_s);
        // A window without an owner falls back to the registered frame.
        setMainFrame(&moldura);
        QCOMPARE(sozinho.mainFrame(), static_cast<MdiFrame *>(&moldura));
        sozinho.enableMainMenuEntry(u"mnuX"_s);
        QVERIFY(moldura.entrada->isEnabled());
        setMainFrame(nullptr);
    }
};

QTEST_MAIN(TstForms)
#include "tst_forms.moc"
