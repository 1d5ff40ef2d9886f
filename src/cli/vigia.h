#pragma once
// The watcher: rounds over every waiting file, at start, on a timer, soon
// after a change in a watched folder, and when a file left waiting for being
// too fresh has settled. One line per file on out, with date and time.
#include <QDate>
#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTextStream>
#include <QTimer>

#include "cli/pendentes.h"

namespace zqcli {

// A contract named by --remessas.
struct Chave {
    int agencia = 0;
    int contrato = 0;
    QString servico;
};

class Vigia : public QObject {
public:
    Vigia(QTextStream &out, int intervalo, int estavel, QList<Chave> contratos);
    // One round: the returns of every contract, the remittances of the
    // contracts named; then the next one is scheduled.
    void rodada();

private:
    void mudou();
    void agenda(const QDateTime &assentado);
    void acompanha(const QStringList &daRodada);
    void conta(const Ocorrencia &o);
    void linha(const QString &tipo, const QString &arquivo, const QString &motivo);
    void purgaUmaVezPorDia();

    QTextStream &out_;
    int intervalo_;
    int estavel_;
    QList<Chave> contratos_;
    QTimer proxima_;
    QFileSystemWatcher observador_;
    QHash<QString, QString> ditos_; // file -> what was last told of it
    QSet<QString> ronda_;           // files told of in this round
    QDate purgado_;
};

} // namespace zqcli
