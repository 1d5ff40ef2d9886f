#include "app/setup.h"

#include "app/demo.h"
#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/os/os.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

// The help file is compiled into this static library.
static void loadHelpFile()
{
    Q_INIT_RESOURCE(setup);
}

namespace zqsetup {

namespace {

void print(FILE *to, const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(t.toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

void installTables()
{
    const QStringList created = zqdb::installTables(zqdb::TablesFolder);
    for (const QString &t : created)
        print(stdout, QStringLiteral("tabela criada: ") + zqdb::TablesFolder + QLatin1Char('\\') + t);
}

// Failures name the drive, so that whoever reads them can find it on the host.
QString driveFailure(const QString &why)
{
    return QStringLiteral("Não foi possível preparar a unidade C: em ") + QDir::toNativeSeparators(winfs::driveCDir()) + QStringLiteral("\r")
           + why;
}

} // namespace

QString usage()
{
    return QStringLiteral(
               "Uso: renomeia-zq-setup [--start [argumentos do programa] | --demo | --help]\n"
               "\n"
               "  (sem opção)  instala em C:\\ZQ\\REN\\TABELAS as tabelas que faltam;\n"
               "               as tabelas existentes nunca são alteradas\n"
               "  --start      faz o mesmo, põe o arquivo de ajuda ZQRen417.hlp em C:\\ZQ\\REN e\n"
               "               inicia o Renomeia Arquivos ZQ (renomeia-zq) em C:\\ZQ\\REN\n"
               "  --demo       monta uma demonstração (agências, um contrato por sistema, arquivos\n"
               "               de remessa e de retorno) numa unidade sem contratos\n"
               "  --help       mostra este texto\n"
               "\n"
               "A unidade C: é a pasta drive_c do prefixo $RENOMEIA_ZQ_PREFIX (por padrão\n"
               "${XDG_DATA_HOME:-$HOME/.local/share}/renomeia-zq; no Windows, sem o prefixo, o\n"
               "próprio C:); agora: ")
           + QDir::toNativeSeparators(winfs::driveCDir());
}

void prepareDrive()
{
    try {
        installTables();
        const QString helpFile = ProgramFolder + QLatin1Char('\\') + HelpFileName;
        if (!winfs::forceDirectories(ProgramFolder))
            throw Exception(QStringLiteral("Não foi possível criar a pasta ") + ProgramFolder);
        loadHelpFile();
        QFile ours(QStringLiteral(":/setup/") + HelpFileName);
        if (!ours.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("O arquivo de ajuda não acompanha este programa"));
        const QByteArray text = ours.readAll();
        QFile current(winfs::hostPath(helpFile));
        if (current.open(QIODevice::ReadOnly) && current.readAll() == text)
            return;
        current.close();
        // Written whole under a temporary name, then put in place.
        QSaveFile out(winfs::hostPath(helpFile));
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
            throw Exception(QStringLiteral("Não foi possível gravar o arquivo de ajuda ") + helpFile + QStringLiteral(": ")
                            + out.errorString());
    } catch (const Exception &e) {
        throw Exception(driveFailure(e.message()));
    }
}

namespace {
FailureBox &failureBox()
{
    static FailureBox box;
    return box;
}
} // namespace

void setFailureBox(FailureBox box)
{
    failureBox() = std::move(box);
}

void reportFailure(const QString &message, bool box)
{
    print(stderr, message);
    if (!box)
        return;
    if (failureBox())
        failureBox()(message);
    else if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        MessageBox(message, QStringLiteral("Renomeia Arquivos ZQ"), MsgStyle::Error);
}

int run(const QStringList &arguments, std::optional<Launch> &launch)
{
    launch.reset();
    const QString option = arguments.value(0);
    if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
        print(stdout, usage());
        return 0;
    }
    if (!option.isEmpty() && option != QLatin1String("--start") && option != QLatin1String("--demo")) {
        print(stderr, QStringLiteral("renomeia-zq-setup: opção desconhecida: ") + option + QStringLiteral("\n\n") + usage());
        return 2;
    }
    if (option == QLatin1String("--demo") && arguments.size() > 1) {
        print(stderr, QStringLiteral("renomeia-zq-setup: --demo não leva argumentos\n\n") + usage());
        return 2;
    }
    try {
        if (option.isEmpty()) {
            installTables();
        } else if (option == QLatin1String("--demo")) {
            const QStringList files = layOutDemo();
            print(stdout, QStringLiteral("Demonstração montada em ") + QDir::toNativeSeparators(winfs::driveCDir()) + QStringLiteral(": ")
                              + QString::number(files.size()) + QStringLiteral(" arquivos em C:\\DEMO e C:\\ZQ."));
        } else {
            prepareDrive();
            launch = Launch{os::programaAoLado(QStringLiteral("renomeia-zq")),
                            arguments.mid(1), winfs::hostPath(ProgramFolder)};
        }
    } catch (const Exception &e) {
        reportFailure(option.isEmpty() ? driveFailure(e.message()) : e.message(), option == QLatin1String("--start"));
        return 1;
    }
    return 0;
}

} // namespace zqsetup
