#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// A source file read line by line. A line ends at LF; CR bytes never become part of
// a line (a lone CR does not end one); the last line needs no line break; a Ctrl-Z
// byte (26) ends the file and nothing after it is read. Lines come back as bytes,
// of any length.
class TArquivoFonte {
public:
    // Throws EErro naming the file when it cannot be opened or its first bytes read.
    explicit TArquivoFonte(const std::string& caminho);
    ~TArquivoFonte();
    TArquivoFonte(const TArquivoFonte&) = delete;
    TArquivoFonte& operator=(const TArquivoFonte&) = delete;

    // True at the end of the bytes or when the next byte is a Ctrl-Z, so a final
    // line break gives no extra empty line. Always true once closed.
    bool Eof();
    // The next line without its line end; "" at Eof. Read errors throw EErro naming the file.
    std::string LeLinha();
    // Closes the file early; idempotent, never throws.
    void Fecha();
    bool Aberto() const;

private:
    struct TFechaArquivo {
        void operator()(std::FILE* arquivo) const noexcept { std::fclose(arquivo); }
    };

    bool Preenche();

    std::string FCaminho;
    std::unique_ptr<std::FILE, TFechaArquivo> FArquivo;
    std::vector<char> FBuffer;
    std::size_t FPosicao = 0;
    std::size_t FTamanho = 0;
    bool FFim = false;
};
