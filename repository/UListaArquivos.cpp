#include "UListaArquivos.h"
#include "UErro.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace {

struct TFechaArquivo {
    void operator()(std::FILE* arquivo) const noexcept { std::fclose(arquivo); }
};

std::string DescricaoErro(int codigo)
{
    return std::generic_category().message(codigo);
}

} // namespace

std::vector<std::string> DivideLista(std::string_view conteudo)
{
    std::vector<std::string> entradas;
    const std::size_t tamanho = conteudo.size();
    std::size_t i = 0;
    while (i < tamanho && conteudo[i] != '\0') {
        const std::size_t inicio = i;
        while (i < tamanho && conteudo[i] != '\0' && conteudo[i] != '\r' && conteudo[i] != '\n')
            ++i;
        entradas.emplace_back(conteudo.substr(inicio, i - inicio));
        // One line break: CR, LF or CR LF. A NUL is left in place, so the loop ends on it.
        if (i < tamanho && conteudo[i] == '\r')
            ++i;
        if (i < tamanho && conteudo[i] == '\n')
            ++i;
    }
    return entradas;
}

std::vector<std::string> LeListaArquivos(const std::string& caminho)
{
    errno = 0;
    const std::unique_ptr<std::FILE, TFechaArquivo> arquivo(std::fopen(caminho.c_str(), "rb"));
    if (!arquivo)
        throw EErro("Não foi possível abrir o arquivo \"" + caminho + "\": " + DescricaoErro(errno));

    std::string conteudo;
    char bloco[65536];
    for (;;) {
        errno = 0;
        const std::size_t lidos = std::fread(bloco, 1, sizeof bloco, arquivo.get());
        conteudo.append(bloco, lidos);
        if (lidos < sizeof bloco) {
            if (std::ferror(arquivo.get()))
                throw EErro("Não foi possível ler o arquivo \"" + caminho + "\": " + DescricaoErro(errno));
            break;
        }
    }
    return DivideLista(conteudo);
}
