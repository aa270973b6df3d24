#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary directory, removed with everything in it
// when the test ends. Its name carries the test's name and a random part, so test
// processes running in parallel never share one.
class TPastaTemporaria {
public:
    TPastaTemporaria()
    {
        const testing::TestInfo* teste = testing::UnitTest::GetInstance()->current_test_info();
        std::string nome = "atualizador-";
        if (teste)
            nome += std::string(teste->test_suite_name()) + "-" + teste->name() + "-";
        for (char& c : nome)
            if (c == '/')
                c = '_';
        std::random_device aleatorio;
        for (;;) {
            FCaminho = std::filesystem::temp_directory_path() / (nome + std::to_string(aleatorio()));
            if (std::filesystem::create_directory(FCaminho))
                break;
        }
    }
    ~TPastaTemporaria()
    {
        std::error_code erro;
        std::filesystem::remove_all(FCaminho, erro);
    }
    TPastaTemporaria(const TPastaTemporaria&) = delete;
    TPastaTemporaria& operator=(const TPastaTemporaria&) = delete;

    // The folder's path with a trailing separator, as the program's own directory has.
    std::string Diretorio() const { return (FCaminho / "").string(); }

    // Writes the bytes exactly as given and returns the file's path.
    std::string Escreve(const std::string& nome, std::string_view bytes) const
    {
        const std::filesystem::path caminho = FCaminho / nome;
        std::filesystem::create_directories(caminho.parent_path());
        std::ofstream arquivo(caminho, std::ios::binary);
        arquivo.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!arquivo)
            throw std::runtime_error("não foi possível escrever " + caminho.string());
        return caminho.string();
    }

    std::string CriaSubpasta(const std::string& nome) const
    {
        const std::filesystem::path caminho = FCaminho / nome;
        std::filesystem::create_directories(caminho);
        return caminho.string();
    }

private:
    std::filesystem::path FCaminho;
};
