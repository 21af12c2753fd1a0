#pragma once
// A described window on Qt: frame, title, menus and gadgets made from its description, the
// gadgets named "gadget<id>". Clicks, menu entries, the close box and moves come back as its
// events; the window stays until its object goes.

#include "app/described_window.h"
#include "gui/qt_gadgets.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

namespace velmora {

class QtDescribedWindow final : public QMainWindow, public DescribedWindow {
public:
    // owner keeps the window above itself (the window system's owner, not a Qt parent: the
    // wiring alone decides when the window goes). titleFont: Arial 12 pt bold.
    QtDescribedWindow(const WindowDescription& description, WindowEvents events, QWidget* owner,
                      const QFont& titleFont, WindowPlace place, QSize client);
    ~QtDescribedWindow() override;

    std::string text(int gadget) const override { return gadgets_->text(gadget); }
    void setText(int gadget, const std::string& text) override;
    bool checked(int gadget) const override { return gadgets_->checked(gadget); }
    void setChecked(int gadget, bool on) override { gadgets_->setChecked(gadget, on); }
    void focus(int gadget) override { gadgets_->focus(gadget); }

    void show() override;
    void hide() override { QWidget::hide(); }
    bool shown() const override { return isVisible(); }
    OuterRect frame() const override;
    void setFrame(const OuterRect& frame) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize frameMargins() const;
    void act(WindowAction action);
    void fitPicture();

    const WindowDescription& description_;
    WindowEvents events_;
    QPointer<QWidget> owner_;
    // The gadgets' parent, below the menu bar; it outlives them.
    QWidget area_;
    std::unique_ptr<QtGadgets> gadgets_;
};

} // namespace velmora
