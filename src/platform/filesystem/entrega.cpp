#include "platform/filesystem/entrega.h"

#include "platform/filesystem/processos.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <exception>

namespace winfs {

namespace {

const QString FormatoMarca = QStringLiteral("yyyyMMddHHmmss");

// The program's own temporaries: ".<name>.<moment>.<process>.parcial" or
// ".pronto" (earlier versions left them without the process).
const QRegularExpression &temporarioDeEntrega()
{
    static const QRegularExpression re(QStringLiteral("^\\.(.+)\\.(\\d{14})(?:\\.(\\d+))?\\.(parcial|pronto)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// A regular file that no writer holds: a delivery in progress in another
// copy of the program holds its temporary, and anything but a regular file
// is not the program's.
bool livre(const QString &arquivo)
{
    FileReader leitor;
    const bool ok = leitor.open(arquivo) == 0;
    if (ok)
        leitor.close();
    IOResult();
    return ok;
}

} // namespace

Entrega::Entrega(const QString &destino, const QDateTime &marca, ObservadorEntrega observador)
    : destino_(destino), marca_(marca), observador_(std::move(observador))
{
}

Entrega::~Entrega()
{
    if (!entregue_ && !abandonada_)
        descarta();
}

QString Entrega::nomeTemporario(const QString &destino, const QDateTime &marca, bool completo)
{
    return extractFilePath(destino) + QLatin1Char('.') + extractFileName(destino) + QLatin1Char('.')
        + marca.toString(FormatoMarca) + QLatin1Char('.') + QString::number(QCoreApplication::applicationPid())
        + (completo ? QStringLiteral(".pronto") : QStringLiteral(".parcial"));
}

void Entrega::avisa(EtapaEntrega e)
{
    if (!observador_)
        return;
    try {
        observador_(e);
    } catch (const std::exception &) {
        throw;
    } catch (...) {
        abandonada_ = true;
        throw;
    }
}

void Entrega::etapa(EtapaEntrega e)
{
    avisa(e);
}

int Entrega::cria()
{
    const QString nome = temporario();
    // The temporary is emptied on creation: never the final file nor a folder.
    if (directoryExists(nome) || sameFile(nome, destino_))
        return ioAccessDenied;
    if (const int codigo = escritor_.create(nome))
        return codigo;
    atual_ = nome;
    avisa(EtapaEntrega::Criado);
    return 0;
}

int Entrega::conclui()
{
    if (atual_.isEmpty())
        return ioFileNotOpen;
    if (const int codigo = escritor_.flush())
        return codigo;
    const QString nome = completo();
    if (!replaceFile(atual_, nome))
        return ioAccessDenied;
    atual_ = nome;
    syncFolder(extractFilePath(destino_));
    avisa(EtapaEntrega::Completo);
    return 0;
}

bool Entrega::mudaNome(const QString &nomeFinal)
{
    const QString destino = extractFilePath(destino_) + nomeFinal;
    if (atual_.isEmpty() || destino == destino_)
        return !atual_.isEmpty();
    const QString nome = nomeTemporario(destino, marca_, true);
    if (!replaceFile(atual_, nome))
        return false;
    atual_ = nome;
    destino_ = destino;
    return true;
}

Entrega::Colocacao Entrega::colocaNoLugar(Substituicao politica)
{
    if (atual_.isEmpty())
        return Colocacao::Falhou;
    const QString final = destino_;
    if (directoryExists(final))
        return Colocacao::NomeOcupado;
    const bool ok = politica == Substituicao::Substitui ? replaceFile(atual_, final) : renameNoReplace(atual_, final);
    if (!ok)
        return politica == Substituicao::Recusa && fileGetAttr(final) >= 0 ? Colocacao::NomeOcupado : Colocacao::Falhou;
    entregue_ = true;
    atual_.clear();
    syncFolder(extractFilePath(final));
    escritor_.close();
    IOResult(); // every byte was on disk before the rename
    avisa(EtapaEntrega::NoLugar);
    return Colocacao::NoLugar;
}

void Entrega::descarta()
{
    if (escritor_.isOpen()) {
        escritor_.close();
        IOResult(); // the failure being reported is the caller's
    }
    if (!atual_.isEmpty() && !directoryExists(atual_))
        deleteFile(atual_);
    atual_.clear();
}

void limpaSobras(const QString &pasta, const Sobras &sobras)
{
    if (!directoryExists(pasta))
        return;
    const QString dir = includeTrailingBackslash(pasta);
    bool mudou = false;
    const QList<SearchRec> ocultos = findFiles(dir + QStringLiteral(".*"), faAnyFile & ~faDirectory);
    for (const SearchRec &r : ocultos) {
        const QString caminho = dir + r.name;
        const QRegularExpressionMatch m = temporarioDeEntrega().match(r.name);
        if (m.hasMatch()) {
            // Another copy of the program still running may be delivering it:
            // its lock is taken a moment after the file is created.
            const qint64 dono = m.captured(3).toLongLong();
            if (dono != 0 && dono != QCoreApplication::applicationPid() && processoEmExecucao(dono))
                continue;
            if (!livre(caminho))
                continue;
            const QString final = dir + m.captured(1);
            const QDateTime marca = QDateTime::fromString(m.captured(2), FormatoMarca);
            const bool completo = m.captured(4).compare(QLatin1String("pronto"), Qt::CaseInsensitive) == 0;
            if (completo && marca.isValid() && sobras.registrada && sobras.registrada(m.captured(1), marca)
                && !directoryExists(final)) {
                mudou = replaceFile(caminho, final) || mudou;
                continue;
            }
            mudou = deleteFile(caminho) || mudou;
            continue;
        }
        if (sobras.temporarioAntigo && sobras.temporarioAntigo(r.name) && livre(caminho)) {
            mudou = deleteFile(caminho) || mudou;
            continue;
        }
        for (const QString &final : sobras.finaisAntigos) {
            static const QRegularExpression numero(QStringLiteral("^\\d+$"));
            const QString prefixo = QLatin1Char('.') + final + QLatin1Char('.');
            if (!r.name.startsWith(prefixo, Qt::CaseInsensitive) || !r.name.endsWith(QLatin1String(".old"), Qt::CaseInsensitive))
                continue;
            const QString meio = r.name.mid(prefixo.size(), r.name.size() - prefixo.size() - 4);
            if (r.name.size() != prefixo.size() + 3 && !numero.match(meio).hasMatch())
                continue;
            if (!livre(caminho))
                break;
            // Set aside while the new file took its name: put back only when that never happened.
            if (fileGetAttr(dir + final) < 0)
                mudou = renameNoReplace(caminho, dir + final) || mudou;
            else
                mudou = deleteFile(caminho) || mudou;
            break;
        }
    }
    if (mudou)
        syncFolder(pasta);
}

} // namespace winfs
