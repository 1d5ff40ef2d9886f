#pragma once
// renomeia-zq-cli run as a scheduled task runs it: a process on the drive of
// RENOMEIA_ZQ_PREFIX, with its output and exit status.
#include <QProcess>
#include <QString>
#include <QStringList>

struct Execucao {
    int status = -1;
    QString out;
    QString err;
    QByteArray bytes; // of the output
};

inline Execucao cli(const QStringList &argumentos)
{
    QProcess p;
    p.start(QStringLiteral(ZQ_CLI), argumentos);
    p.waitForFinished(60000);
    const QByteArray out = p.readAllStandardOutput();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(out),
            QString::fromUtf8(p.readAllStandardError()), out};
}
