#pragma once
// "Über Velmora" on Qt: the described box, its link showing the installed help. Not modal;
// closing it changes nothing about a running presentation.

#include "gui/qt_gadgets.h"

#include <QDialog>

namespace velmora {

class AboutBox final : public QDialog {
public:
    // homepage is shown shortened in the middle where it is too long; onLink runs on a click.
    AboutBox(QWidget* owner, const QFont& titleFont, const QString& homepage,
             std::function<void()> onLink = {});

private:
    void act(WindowAction action);

    std::function<void()> onLink_;
    QtGadgets gadgets_;
};

} // namespace velmora
