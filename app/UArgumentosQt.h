#pragma once

// What Qt's own option parser is given of the command line: the program's path and
// nothing else. The positional arguments belong to the tool alone, and a caption or a
// password such as "-reverse" or "-platform x" must neither turn the window around nor
// end the program. QApplication keeps both references, so this outlives it.
class TArgumentosQt {
public:
    TArgumentosQt(int argc, char** argv)
        : FQuantidade(argc > 0 ? 1 : 0), FValores{argc > 0 ? argv[0] : nullptr, nullptr}
    {
    }

    int& Quantidade() { return FQuantidade; }
    char** Valores() { return FValores; }

private:
    int FQuantidade;
    char* FValores[2];
};
