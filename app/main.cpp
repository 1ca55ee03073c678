// Pixelnook: the wizard that turns a set of JPEG pictures into a web gallery.
#include "Application.h"

int main(int argc, char *argv[])
{
    // Qt's own options (-platform, -display ...) are taken by Qt; the
    // program itself reads no arguments.
    TApplication application(argc, argv);
    return RunPixelnook(application);
}
