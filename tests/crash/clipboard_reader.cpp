// Prints the clipboard's text as Windows-1252 bytes, for tests that check what a program left
// there. With "--take TEXT" it puts TEXT on the clipboard instead, as another program would.

#include "gui/qt_text_codec.h"

#include <QApplication>
#include <QClipboard>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (argc == 3 && std::strcmp(argv[1], "--take") == 0) {
        clipboard->setText(QString::fromLatin1(argv[2]));
        QApplication::processEvents();
        return clipboard->ownsClipboard() ? 0 : 1;
    }
    std::cout << velmora::toWindows1252(clipboard->text()) << std::flush;
    return 0;
}
