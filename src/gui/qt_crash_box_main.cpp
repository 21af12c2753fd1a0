// velmora-crash-box CLIPBOARD-LENGTH
// Shows the crash report read from standard input (Windows-1252) in the "ERROR" box with Yes and
// No, after putting its first CLIPBOARD-LENGTH bytes on the clipboard, and writes the answer
// ("Yes" or "No") to standard output. The crash reporter starts it: the faulting process can no
// longer open windows. On X11 the clipboard lives as long as its owner, so this program stays
// until another program takes the clipboard over.

#include "crash/crash_box_session.h"
#include "gui/qt_message_boxes.h"
#include "gui/qt_text_codec.h"

#include <QApplication>
#include <QClipboard>

#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

namespace {

void answer(const char* text)
{
    std::cout << text << '\n' << std::flush;
    velmora::closeAnswerStream();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    velmora::leaveFaultingSession();
    const std::string report{std::istreambuf_iterator<char>(std::cin),
                             std::istreambuf_iterator<char>()};
    const unsigned long length = std::strtoul(argv[1], nullptr, 10);
    const std::string clipboardText =
        report.substr(0, std::min<std::size_t>(length, report.size()));

    QApplication application(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(velmora::fromWindows1252(clipboardText));

    velmora::QtMessageBoxes boxes;
    const velmora::BoxAnswer result =
        boxes.show("ERROR", report, velmora::BoxButtons::YesNo, velmora::BoxModality::SystemModal);
    answer(result == velmora::BoxAnswer::Yes ? "Yes" : "No");

    if (!clipboard->ownsClipboard())
        return 0;
    // Any change from now on comes from another program: this one sets nothing more. Qt's own
    // ownership flag is not asked, since it stays set when the new owner has already gone by the
    // time the change is seen.
    QObject::connect(clipboard, &QClipboard::changed, [&](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            application.quit();
    });
    return QApplication::exec();
}
