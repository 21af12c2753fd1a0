#pragma once
// A described window's gadgets and menus as Qt widgets. Each gadget's object name is
// "gadget<id>"; clicks and menu entries come back as their actions.

#include "app/window_description.h"
#include "app/window_placement.h"

#include <QFont>
#include <QRegularExpressionValidator>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenuBar;
class QWidget;

namespace velmora {

class QtGadgets {
public:
    // Creates the gadgets as children of parent, in the description's order (the tab order).
    QtGadgets(QWidget& parent, std::span<const GadgetDescription> gadgets, const QFont& titleFont,
              WindowActionHandler onAction);
    ~QtGadgets();
    QtGadgets(const QtGadgets&) = delete;
    QtGadgets& operator=(const QtGadgets&) = delete;

    QWidget& at(int id) const { return *byId_.at(id); }
    // Windows-1252 texts of fields, labels, buttons and check boxes.
    std::string text(int id) const;
    void setText(int id, const std::string& text);
    bool checked(int id) const;
    void setChecked(int id, bool on);
    void focus(int id);

private:
    std::vector<std::unique_ptr<QWidget>> gadgets_;
    std::map<int, QWidget*> byId_;
    QRegularExpressionValidator digitsOnly_; // number fields take typed digits only
};

// The window's title, font, size and frame: topmost, no minimise box, a maximise box and sizing
// only where the description allows them. For a top-level widget before it is shown.
void describeWindow(QWidget& window, const WindowDescription& description, Qt::WindowType type);
void addMenus(QMenuBar& bar, std::span<const MenuDescription> menus,
              const WindowActionHandler& onAction);
// The primary screen's area in Qt's pixels, where new windows are centred.
ScreenBounds primaryScreenArea();
// Moves a window so that its outer frame is centred in area. Before the window manager has framed
// it, the frame of frameLike (another window of ours) stands in for its own.
void centreIn(QWidget& window, const ScreenBounds& area, const QWidget* frameLike);
// The same on the primary screen.
void centreOnScreen(QWidget& window, const QWidget* frameLike);

} // namespace velmora
