#include "UArquivoFonte.h"
#include "UErro.h"

#include <cerrno>
#include <system_error>

namespace {

constexpr std::size_t TamanhoBuffer = 65536;
constexpr char CtrlZ = '\x1a';

} // namespace

TArquivoFonte::TArquivoFonte(const std::string& caminho)
    : FCaminho(caminho)
{
    errno = 0;
    FArquivo.reset(std::fopen(caminho.c_str(), "rb"));
    if (!FArquivo)
        throw EErro("Não foi possível abrir o arquivo \"" + caminho + "\": "
            + std::generic_category().message(errno));
    FBuffer.resize(TamanhoBuffer);
    // Reading at once makes a path that opens but cannot be read (a directory) fail here.
    if (!Preenche())
        FFim = true;
}

TArquivoFonte::~TArquivoFonte() = default;

bool TArquivoFonte::Preenche()
{
    if (!FArquivo)
        return false;
    errno = 0;
    const std::size_t lidos = std::fread(FBuffer.data(), 1, FBuffer.size(), FArquivo.get());
    if (lidos == 0 && std::ferror(FArquivo.get()))
        throw EErro("Não foi possível ler o arquivo \"" + FCaminho + "\": "
            + std::generic_category().message(errno));
    FPosicao = 0;
    FTamanho = lidos;
    return lidos > 0;
}

bool TArquivoFonte::Eof()
{
    if (FFim)
        return true;
    if (FPosicao == FTamanho && !Preenche())
        FFim = true;
    else if (FBuffer[FPosicao] == CtrlZ)
        FFim = true;
    return FFim;
}

std::string TArquivoFonte::LeLinha()
{
    std::string linha;
    if (Eof())
        return linha;
    for (;;) {
        if (FPosicao == FTamanho && !Preenche()) {
            FFim = true;
            break;
        }
        const char* const inicio = FBuffer.data() + FPosicao;
        const char* const fim = FBuffer.data() + FTamanho;
        const char* p = inicio;
        while (p != fim && *p != '\n' && *p != '\r' && *p != CtrlZ)
            ++p;
        linha.append(inicio, p);
        FPosicao = static_cast<std::size_t>(p - FBuffer.data());
        if (p == fim)
            continue;
        if (*p == CtrlZ) {
            FFim = true;
            break;
        }
        ++FPosicao;
        if (*p == '\n')
            break;
        // A CR, wherever it stands, is dropped without ending the line.
    }
    return linha;
}

void TArquivoFonte::Fecha()
{
    // Nothing was written, so a failing close loses nothing worth reporting.
    FArquivo.reset();
    FFim = true;
    FPosicao = FTamanho = 0;
}

bool TArquivoFonte::Aberto() const
{
    return FArquivo != nullptr;
}
