#include "gui/qt_message_boxes.h"
#include "gui/qt_work_while_repainting.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

TEST(RunWhileRepainting, TheGuiThreadServesTimersAndRequestsWhileTheWorkRuns)
{
    std::atomic<int> ticks{0};
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();

    std::thread::id workThread;
    bool served = false;
    runWhileRepainting([&] {
        workThread = std::this_thread::get_id();
        // What a message box asked for by the work does: the GUI thread must run it.
        QMetaObject::invokeMethod(
            qApp, [&served] { served = true; }, Qt::BlockingQueuedConnection);
        // The windows' own timers (repaints, the region frame) go on meanwhile.
        const auto giveUp = std::chrono::steady_clock::now() + 10s;
        while (ticks < 3 && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(1ms);
    });
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_TRUE(served);
    EXPECT_GE(ticks.load(), 3) << "the GUI thread stood still while the work ran";
}

TEST(RunWhileRepainting, WorkThatEndsAtOnceStillReturns)
{
    int runs = 0;
    runWhileRepainting([&runs] { ++runs; });
    runWhileRepainting([&runs] { ++runs; });
    EXPECT_EQ(runs, 2);
}

// Mouse input as the window system hands it to a widget's window: button is the one that
// changed (none for a move), buttons those held afterwards.
void mouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
           QPoint at)
{
    QWidget* window = widget.window();
    const QPointF inWindow = widget.mapTo(window, at);
    QMouseEvent event(type, inWindow, inWindow, widget.mapToGlobal(at), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window->windowHandle(), &event);
}

// The presenter clicks a button while the work runs and moves the mouse away, then the work asks
// a box, which the presenter answers with Return. The click waits for the end of the work, then
// takes effect where it was given: the box's own loop must not swallow it.
TEST(RunWhileRepainting, InputWaitsForTheEndOfTheWorkAndOutlivesABoxShownMeanwhile)
{
    QWidget window;
    window.resize(300, 120);
    QPushButton button(QStringLiteral("Beenden"), &window);
    button.setGeometry(10, 10, 90, 30);
    std::atomic<int> clicks{0};
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    ASSERT_NE(window.windowHandle(), nullptr);

    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(box->windowHandle(), &enter);
        }
    });
    answer.start();

    QtMessageBoxes boxes;
    int clicksDuringTheWork = -1;
    runWhileRepainting([&] {
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                const QPoint middle = button.rect().center();
                mouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, middle);
                mouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, middle);
                mouse(window, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(250, 100));
            },
            Qt::BlockingQueuedConnection);
        boxes.show("Fehler", "The server does not answer.");
        QMetaObject::invokeMethod(
            qApp, [] {}, Qt::BlockingQueuedConnection);
        clicksDuringTheWork = clicks;
    });
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(clicksDuringTheWork, 0);
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace velmora
