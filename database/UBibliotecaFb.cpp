#include "UBibliotecaFb.h"
#include "UErro.h"
#include "UFirebird.h"

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#else
#include <dlfcn.h>
#endif

using namespace Firebird;

namespace {

using TObtemMestre = IMaster* (*)();
constexpr auto NomeFuncaoMestre = "fb_get_master_interface";

#ifdef _WIN32

// In UTF-8 like the rest of the sentence: the ANSI text of a Portuguese Windows would
// turn the whole message into mixed encodings.
std::string UltimoErroSistema()
{
    const DWORD codigo = GetLastError();
    wchar_t* texto = nullptr;
    const DWORD tamanho = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, codigo, 0,
        reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
    std::string resultado;
    if (tamanho > 0) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, texto, static_cast<int>(tamanho), nullptr, 0, nullptr, nullptr);
        resultado.resize(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, texto, static_cast<int>(tamanho), resultado.data(), bytes, nullptr, nullptr);
    }
    LocalFree(texto);
    while (!resultado.empty() && (resultado.back() == '\n' || resultado.back() == '\r' || resultado.back() == ' '))
        resultado.pop_back();
    return "Erro do sistema " + std::to_string(codigo) + (resultado.empty() ? "" : ": " + resultado);
}

void* CarregaBiblioteca(const std::string& nome) { return LoadLibraryA(nome.c_str()); }

TObtemMestre ProcuraFuncao(void* biblioteca)
{
    // GetProcAddress answers with a generic function pointer; the export's real type is ours to know.
    return reinterpret_cast<TObtemMestre>(
        reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(biblioteca), NomeFuncaoMestre)));
}

#else

std::string UltimoErroSistema()
{
    const char* texto = dlerror();
    return texto ? texto : "";
}

// RTLD_GLOBAL: its symbols are visible to the whole process, as when the program linked it,
// so the plugins it loads (the embedded engine among them) see what they saw before.
void* CarregaBiblioteca(const std::string& nome) { return dlopen(nome.c_str(), RTLD_NOW | RTLD_GLOBAL); }

TObtemMestre ProcuraFuncao(void* biblioteca)
{
    return reinterpret_cast<TObtemMestre>(dlsym(biblioteca, NomeFuncaoMestre));
}

#endif

} // namespace

IMaster* CarregaMestreFb(const std::string& nomeBiblioteca)
{
    void* biblioteca = CarregaBiblioteca(nomeBiblioteca);
    if (!biblioteca)
        throw EErro("Não foi possível carregar a biblioteca cliente do Firebird \"" + nomeBiblioteca
            + "\". Instale o cliente do Firebird 3 (da mesma arquitetura do programa, 32 ou 64 bits) ou copie "
            + nomeBiblioteca + " para a pasta do programa.\n" + UltimoErroSistema());
    const TObtemMestre obtemMestre = ProcuraFuncao(biblioteca);
    if (!obtemMestre)
        throw EErro("A biblioteca \"" + nomeBiblioteca + "\" não é o cliente do Firebird 3 ou posterior: falta "
            + NomeFuncaoMestre + ". Instale o cliente do Firebird 3.\n" + UltimoErroSistema());
    return obtemMestre();
}

IMaster* MestreFb()
{
    // A failed load throws out of the initialisation, so the next call tries again.
    static IMaster* const mestre = CarregaMestreFb(NomeBibliotecaFb);
    return mestre;
}

void VerificaBibliotecaFb() { (void)MestreFb(); }
