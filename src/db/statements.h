#pragma once
// Every SQL statement the program runs, as the lines that are joined with
// line breaks, with the types of their parameters.
#include <QStringList>

#include "platform/tables/query.h"

namespace sql {

using tables::FieldType;
using tables::SqlText;

// Purge of old log rows; ParmData is today at 00:00 minus 30 days.
inline const SqlText ExcluiArq{{QStringLiteral("Delete from Arq"), QStringLiteral("where"),
                                QStringLiteral("(ArqDataOper <  :ParmData)")},
                               {{QStringLiteral("ParmData"), FieldType::DateTime}}};
inline const QStringList ExcluiArqDesign{QStringLiteral("delete from arq")};

// Structure probe and upgrade of Ctr to version 1.2.1.
inline const QStringList ProbeCtr{QStringLiteral("SELECT * FROM ctr WHERE 0 = 1")};
inline const QStringList AlterCtr{QStringLiteral("ALTER TABLE ctr ADD CtrDescricao VARCHAR(200)")};

// Agency reload from "agencias.zq". The code and the name are bound as
// parameters, never spliced into the text.
inline const QStringList DeleteAge{QStringLiteral("delete from age")};
inline const SqlText InsertAge{{QStringLiteral("INSERT INTO age (AgeCod, AgeNome) values (:AgeCod, :AgeNome)")},
                               {{QStringLiteral("AgeCod"), FieldType::SmallInt}, {QStringLiteral("AgeNome"), FieldType::String}}};

// Remittances of a contract on a file date.
inline const SqlText RemArquivos{{
    QStringLiteral("select * from Arq"),
    QStringLiteral("where Arq.ArqCtrAgencia = :Agencia"),
    QStringLiteral("   and Arq.ArqCtrContrato = :Contrato"),
    QStringLiteral("   and Arq.ArqCtrServico = :Servico"),
    QStringLiteral("   and Arq.ArqDataOrigem  = :Data"),
    QStringLiteral("   and Arq.ArqRemessa = true"),
    QStringLiteral("order by Arq.ArqNomeOrigem"),
}, {{QStringLiteral("Agencia"), FieldType::SmallInt}, {QStringLiteral("Contrato"), FieldType::Integer},
    {QStringLiteral("Servico"), FieldType::String}, {QStringLiteral("Data"), FieldType::Date}}};

// Earlier renaming of one remittance file.
inline const SqlText ArquivosRemessa{{
    QStringLiteral("select * from Arq"),
    QStringLiteral("where Arq.ArqCtrAgencia = :Agencia"),
    QStringLiteral("   and Arq.ArqCtrContrato = :Contrato"),
    QStringLiteral("   and Arq.ArqCtrServico = :Servico"),
    QStringLiteral("   and Arq.ArqNomeOrigem  = :Nome"),
    QStringLiteral("   and Arq.ArqDataOrigem = :Data"),
    QStringLiteral("   and Arq.ArqHoraOrigem = :Hora"),
    QStringLiteral("   and Arq.ArqRemessa = true"),
    QStringLiteral("order by Arq.ArqNomeOrigem"),
}, {{QStringLiteral("Agencia"), FieldType::SmallInt}, {QStringLiteral("Contrato"), FieldType::Integer},
    {QStringLiteral("Servico"), FieldType::String}, {QStringLiteral("Nome"), FieldType::String},
    {QStringLiteral("Data"), FieldType::Date}, {QStringLiteral("Hora"), FieldType::Time}}};

// The remittances of a contract the log holds: their sources and stamps.
inline const SqlText RemessasDoContrato{{
    QStringLiteral("SELECT ArqNomeOrigem, ArqDataOrigem, ArqHoraOrigem FROM Arq"),
    QStringLiteral("WHERE ArqCtrAgencia = :Agencia AND ArqCtrContrato = :Contrato"),
    QStringLiteral("  AND ArqCtrServico = :Servico AND ArqRemessa = true"),
}, {{QStringLiteral("Agencia"), FieldType::SmallInt}, {QStringLiteral("Contrato"), FieldType::Integer},
    {QStringLiteral("Servico"), FieldType::String}}};

// A contract with what its service brings: system, identifier and record
// length (empty when the service has no record).
inline const SqlText ContratoComServico{{
    QStringLiteral("SELECT Ctr.CtrAgencia, Ctr.CtrContrato, Ctr.CtrServico, Ctr.CtrDirRemessa, Ctr.CtrDirRetorno,"),
    QStringLiteral("       Svc.SvcCod, Svc.SisCod, Svc.SvcID, Svc.SvcTam"),
    QStringLiteral("FROM Ctr LEFT JOIN Svc ON Svc.SvcCod = Ctr.CtrServico"),
    QStringLiteral("WHERE Ctr.CtrAgencia = :Agencia AND Ctr.CtrContrato = :Contrato"),
    QStringLiteral("ORDER BY Ctr.CtrAgencia, Ctr.CtrContrato, Ctr.CtrServico"),
}, {{QStringLiteral("Agencia"), FieldType::SmallInt}, {QStringLiteral("Contrato"), FieldType::Integer}}};

// A delivery recorded at a given moment under a given name.
inline const SqlText EntregaRegistrada{{
    QStringLiteral("SELECT COUNT(*) FROM Arq"),
    QStringLiteral("WHERE ArqDataOper = :Data AND ArqHoraOper = :Hora"),
    QStringLiteral("  AND ArqRemessa = :Remessa AND ArqNomeDestino = :Nome"),
}, {{QStringLiteral("Data"), FieldType::Date}, {QStringLiteral("Hora"), FieldType::Time},
    {QStringLiteral("Remessa"), FieldType::Boolean}, {QStringLiteral("Nome"), FieldType::String}}};

// A return file delivered before: a return row with its name (any letter
// case) and its file date.
inline const SqlText RetornoEntregue{{
    QStringLiteral("SELECT COUNT(*) FROM Arq"),
    QStringLiteral("WHERE ArqDataOrigem = :Data AND ArqRemessa = false AND upper(ArqNomeOrigem) = upper(:Nome)"),
}, {{QStringLiteral("Data"), FieldType::Date}, {QStringLiteral("Nome"), FieldType::String}}};

// An accepted pair of system and return identifier.
inline const SqlText RetornoAceito{{QStringLiteral("SELECT COUNT(*) FROM Rsi WHERE IdSis = :IdSis AND IdRet = :IdRet")},
                                   {{QStringLiteral("IdSis"), FieldType::String}, {QStringLiteral("IdRet"), FieldType::String}}};

// The accepted pairs in key order, as the incoming folders are scanned.
inline const QStringList RetornosAceitos{QStringLiteral("SELECT IdSis, IdRet FROM Rsi ORDER BY IdSis, IdRet")};

// Contracts whose return files come through the COB and PDZ folders.
inline const QStringList ContratoCOB{QStringLiteral("select * from Ctr"),
                                     QStringLiteral("where CtrServico in ('66','C3', 'H9', 'R1')")};
inline const QStringList ContratoPDZ{QStringLiteral("select * from Ctr"),
                                     QStringLiteral("where CtrServico in ('O6','A1','V6')")};

// Rename log listing: design text, and the pieces each search is built from.
inline const QStringList ArquivosLogDesign{QStringLiteral("select * from Arq"),
                                           QStringLiteral("order by Arq.ArqNomeOrigem")};
namespace log {
inline const QString Select = QStringLiteral(
    "SELECT ArqCtrAgencia, ArqCtrContrato, ArqNomeOrigem,ArqDataOrigem, ArqHoraOrigem, "
    "ArqNomeDestino,ArqDataOper, ArqHoraOper, ArqRemessa, ArqNumRemessa,ArqCtrServico");
inline const QString From = QStringLiteral("FROM Arq");
inline const QString Where = QStringLiteral("WHERE");
inline const QString And = QStringLiteral("and");
inline const QString Agencia = QStringLiteral("(ArqCtrAgencia = :Agencia)");
inline const QString Contrato = QStringLiteral("(ArqCtrContrato = :Contrato)");
inline const QString Remessa = QStringLiteral("(ArqRemessa = True)");
inline const QString Retorno = QStringLiteral("(ArqRemessa = False)");
inline const QString DataArquivo = QStringLiteral("(ArqDataOrigem = :DataArquivo)");
inline const QString OrderBy = QStringLiteral("ORDER BY ArqCtrAgencia, ArqCtrContrato, ArqDataOper,ArqHoraOper");
// Types of the parameters the conditions above may bring.
inline const QList<tables::ParamDecl> Params{{QStringLiteral("Agencia"), FieldType::Integer},
                                             {QStringLiteral("Contrato"), FieldType::Integer},
                                             {QStringLiteral("DataArquivo"), FieldType::Date}};
} // namespace log

} // namespace sql
