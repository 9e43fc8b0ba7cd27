// quillon: the program a user starts.

#include <QApplication>

#include "shell/program.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return QuillonMain(app);
}
