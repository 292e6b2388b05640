#include "prog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Prog window;
    window.Form_Load();
    return app.exec();
}
