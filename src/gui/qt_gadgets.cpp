#include "gui/qt_gadgets.h"

#include "gui/qt_hyperlink_label.h"
#include "gui/qt_text_codec.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>

namespace velmora {
namespace {

std::unique_ptr<QWidget> makeGadget(const GadgetDescription& g, QWidget& parent,
                                    const QValidator& digitsOnly)
{
    const QString text = fromWindows1252(g.text);
    switch (g.kind) {
    case GadgetKind::Frame:
        return std::make_unique<QGroupBox>(text, &parent);
    case GadgetKind::Label:
    case GadgetKind::WrappingLabel:
    case GadgetKind::CentredLabel: {
        auto label = std::make_unique<QLabel>(text, &parent);
        label->setWordWrap(g.kind == GadgetKind::WrappingLabel);
        label->setAlignment(g.kind == GadgetKind::CentredLabel ? Qt::AlignCenter
                                                               : Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case GadgetKind::Field:
    case GadgetKind::PasswordField:
    case GadgetKind::NumberField: {
        auto field = std::make_unique<QLineEdit>(text, &parent);
        if (g.kind == GadgetKind::PasswordField)
            field->setEchoMode(QLineEdit::Password);
        if (g.kind == GadgetKind::NumberField) {
            field->setValidator(&digitsOnly);
            field->setMaxLength(g.typedLength);
        }
        return field;
    }
    case GadgetKind::Button: {
        auto button = std::make_unique<QPushButton>(text, &parent);
        button->setAutoDefault(false); // Return does nothing in these windows
        return button;
    }
    case GadgetKind::Check:
        return std::make_unique<QCheckBox>(text, &parent);
    case GadgetKind::Link:
        return std::make_unique<HyperlinkLabel>(text, &parent);
    case GadgetKind::PictureView: {
        auto view = std::make_unique<QTextBrowser>(&parent);
        view->setOpenLinks(false);
        view->setFrameShape(QFrame::NoFrame);
        // The page asks for no margins, as a spectator's browser gives it.
        view->document()->setDocumentMargin(0);
        return view;
    }
    case GadgetKind::StatusBar: {
        auto bar = std::make_unique<QStatusBar>(&parent);
        bar->setSizeGripEnabled(true);
        bar->showMessage(text);
        return bar;
    }
    }
    return std::make_unique<QWidget>(&parent);
}

void connectAction(QWidget& gadget, const GadgetDescription& g, const WindowActionHandler& onAction)
{
    if (g.action == WindowAction::None)
        return;
    const auto act = [onAction, action = g.action] { onAction(action); };
    if (auto* button = qobject_cast<QPushButton*>(&gadget))
        QObject::connect(button, &QPushButton::clicked, button, act);
    else if (auto* link = qobject_cast<HyperlinkLabel*>(&gadget))
        QObject::connect(link, &HyperlinkLabel::clicked, link, act);
}

} // namespace

QtGadgets::QtGadgets(QWidget& parent, std::span<const GadgetDescription> gadgets,
                     const QFont& titleFont, WindowActionHandler onAction)
    : digitsOnly_(QRegularExpression(QStringLiteral("[0-9]*")))
{
    for (const GadgetDescription& g : gadgets) {
        std::unique_ptr<QWidget> made = makeGadget(g, parent, digitsOnly_);
        made->setObjectName(QStringLiteral("gadget%1").arg(g.id));
        made->setGeometry(g.place.x, g.place.y, g.place.width, g.place.height);
        if (g.font == GadgetFont::Title) {
            QFont font = titleFont;
            font.setUnderline(made->font().underline());
            made->setFont(font);
        }
        connectAction(*made, g, onAction);
        byId_[g.id] = made.get();
        gadgets_.push_back(std::move(made));
    }
}

QtGadgets::~QtGadgets()
{
    // Children go before their parent, in reverse order of creation.
    while (!gadgets_.empty())
        gadgets_.pop_back();
}

std::string QtGadgets::text(int id) const
{
    QWidget& gadget = at(id);
    if (auto* field = qobject_cast<QLineEdit*>(&gadget))
        return toWindows1252(field->text());
    if (auto* label = qobject_cast<QLabel*>(&gadget))
        return toWindows1252(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(&gadget))
        return toWindows1252(button->text());
    if (auto* frame = qobject_cast<QGroupBox*>(&gadget))
        return toWindows1252(frame->title());
    if (auto* bar = qobject_cast<QStatusBar*>(&gadget))
        return toWindows1252(bar->currentMessage());
    return {};
}

void QtGadgets::setText(int id, const std::string& text)
{
    QWidget& gadget = at(id);
    if (auto* field = qobject_cast<QLineEdit*>(&gadget))
        field->setText(fromWindows1252(text));
    else if (auto* link = qobject_cast<HyperlinkLabel*>(&gadget)) {
        // A long path keeps its start and its file name in the link's fixed width.
        const QString full = fromWindows1252(text);
        link->setText(link->fontMetrics().elidedText(full, Qt::ElideMiddle, link->width()));
        link->setToolTip(full);
    } else if (auto* view = qobject_cast<QTextBrowser*>(&gadget))
        view->setSource(QUrl::fromLocalFile(fromWindows1252(text)));
    else if (auto* bar = qobject_cast<QStatusBar*>(&gadget))
        bar->showMessage(fromWindows1252(text));
    else if (auto* label = qobject_cast<QLabel*>(&gadget)) {
        // Every pass writes the Status line: an unchanged text is not set again, or each pass
        // would repaint it and show up as a change on the screen.
        const QString shown = displayText(text);
        if (label->text() != shown)
            label->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&gadget))
        button->setText(fromWindows1252(text));
}

bool QtGadgets::checked(int id) const
{
    auto* box = qobject_cast<QAbstractButton*>(&at(id));
    return box != nullptr && box->isChecked();
}

void QtGadgets::setChecked(int id, bool on)
{
    if (auto* box = qobject_cast<QAbstractButton*>(&at(id)))
        box->setChecked(on);
}

void QtGadgets::focus(int id)
{
    at(id).setFocus(Qt::OtherFocusReason);
}

void describeWindow(QWidget& window, const WindowDescription& description, Qt::WindowType type)
{
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (description.topmost)
        flags |= Qt::WindowStaysOnTopHint;
    if (description.resizable && description.placement == Placement::BesideOwner)
        flags |= Qt::WindowMaximizeButtonHint;
    window.setWindowFlags(flags);
    window.setWindowTitle(fromWindows1252(description.title));
    if (description.font == WindowFont::NarrowDialog) {
        // A metric-compatible narrow face keeps every label whole in the gadgets' sizes.
        QFont narrow(QStringLiteral("Arial Narrow"));
        narrow.setFamilies(
            {QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
        narrow.setPixelSize(12);
        window.setFont(narrow);
    }
    if (description.clientWidth > 0 && !description.resizable)
        window.setFixedSize(description.clientWidth, description.clientHeight);
    else if (description.clientWidth > 0)
        window.resize(description.clientWidth, description.clientHeight);
}

void addMenus(QMenuBar& bar, std::span<const MenuDescription> menus,
              const WindowActionHandler& onAction)
{
    for (const MenuDescription& menu : menus) {
        QMenu* made = bar.addMenu(fromWindows1252(menu.text));
        for (const MenuEntry& entry : menu.entries)
            QObject::connect(made->addAction(fromWindows1252(entry.text)), &QAction::triggered,
                             &bar, [onAction, action = entry.action] { onAction(action); });
    }
}

ScreenBounds primaryScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QRect area = screen->geometry();
    return {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

void centreOnScreen(QWidget& window, const QWidget* frameLike)
{
    centreIn(window, primaryScreenArea(), frameLike);
}

void centreIn(QWidget& window, const ScreenBounds& area, const QWidget* frameLike)
{
    QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (frame.isNull() && frameLike != nullptr)
        frame = frameLike->frameGeometry().size() - frameLike->geometry().size();
    const QSize outer = window.size() + frame;
    const WindowPlace place = centredIn(outer.width(), outer.height(), area);
    window.move(place.x, place.y); // a top-level window's position is its frame's
}

} // namespace velmora
