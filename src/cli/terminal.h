#pragma once
// The jobs' faces on a terminal: questions answered by options (the answer
// no is said, with the option that says yes), messages written as text, the
// findings of the checks a line each.
#include <QString>
#include <QTextStream>

#include "cli/opcoes.h"
#include "remittance/RenomeiaRemessa.h"
#include "return/RenomeiaRetorno.h"

namespace zqcli {

// An error of the runtime or of the table engine in the user's words: a table
// another program held longer than a run waits is named in Portuguese.
QString textoDoErro(const Exception &erro);

// How long a run waits for a table another program holds (the window program,
// another task) before it gives up: a task is not failed for a busy moment.
constexpr int EsperaPorTabela = 20000;

// The findings, one a line ("linha N: ..."), as `verifica` prints them.
void escreveAchados(QTextStream &saida, const remessa::Conferencia &achados);

// What both jobs tell, on a stream; success is told by the path on stdout.
template <class Interface>
class Terminal : public Interface {
public:
    explicit Terminal(QTextStream &err) : err_(err) {}
    void mensagem(const Mensagem &m) override { err_ << linhas(m.texto) << Qt::endl; }
    void sucesso(const Mensagem &) override {}

protected:
    // A question answered by an option: the answer no is said, with the option that says yes.
    bool responde(bool sim, const Mensagem &pergunta, const QString &opcao)
    {
        if (!sim)
            err_ << linhas(pergunta.texto) << '\n' << QStringLiteral("Resposta: não (a opção %1 responde sim).").arg(opcao) << Qt::endl;
        return sim;
    }
    QTextStream &err_;
};

// The answers of a remittance rename. A run over every waiting file never
// renames a file again: it was renamed by another run meanwhile, and passing
// it over is no news.
struct RespostasRemessa {
    bool deNovo = false;
    bool substitui = false;
    bool mesmoAssim = false;
    bool converte = false;
    bool calaRenomeado = false;
};

class TerminalRemessa : public Terminal<remessa::Interlocutor> {
public:
    TerminalRemessa(QTextStream &err, const RespostasRemessa &respostas) : Terminal(err), r_(respostas) {}
    Decisao conferencia(const remessa::Conferencia &achados, const Mensagem &, bool podeConverter) override;
    bool pergunta(Pergunta qual, const Mensagem &m) override;
    QString textoDoErro(const Exception &erro) const override { return zqcli::textoDoErro(erro); }

private:
    RespostasRemessa r_;
};

class TerminalRetorno : public Terminal<retorno::Interlocutor> {
public:
    TerminalRetorno(QTextStream &err, bool substitui) : Terminal(err), substitui_(substitui) {}
    bool substitui(const Mensagem &m) override { return responde(substitui_, m, QStringLiteral("--substituir")); }

private:
    bool substitui_;
};

} // namespace zqcli
