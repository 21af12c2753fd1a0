#include "gui/about_box.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmora {
namespace {

void placeText(QLabel& label, QWidget* parent, const QString& text, int y, int height)
{
    label.setParent(parent);
    label.setText(text);
    label.setAlignment(Qt::AlignCenter);
    label.setGeometry(5, y, 280, height);
}

} // namespace

AboutBox::AboutBox(QWidget* owner, const QFont& titleFont, const QString& homepage)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      link_(homepage, this)
{
    setWindowTitle(QStringLiteral("Über Velmora"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    placeText(title_, this, QStringLiteral("Velmora"), 20, 25);
    title_.setFont(titleFont);
    placeText(version_, this, QStringLiteral("Version 1.9.1306"), 50, 25);
    placeText(notice_, this, QStringLiteral("© 2026 Corvantis. Alle Rechte vorbehalten."), 80, 25);
    placeText(label_, this, QStringLiteral("Homepage / Support:"), 115, 15);
    link_.setObjectName(QStringLiteral("homepageLink"));
    link_.setGeometry(55, 135, 195, 20);
    // A long install path keeps its start and its file name in the link's fixed width.
    link_.setText(link_.fontMetrics().elidedText(homepage, Qt::ElideMiddle, link_.width()));
    link_.setToolTip(homepage);
    connect(&link_, &HyperlinkLabel::clicked, this, &AboutBox::linkClicked);

    ok_.setParent(this);
    ok_.setText(QStringLiteral("OK"));
    ok_.setObjectName(QStringLiteral("okButton"));
    ok_.setGeometry(100, 185, 90, 25);
    connect(&ok_, &QPushButton::clicked, this, &QDialog::close);

    setFixedSize(290, 224);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

} // namespace velmora
