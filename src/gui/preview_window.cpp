#include "gui/preview_window.h"

#include "gui/text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>

namespace velmora {

PreviewWindow::PreviewWindow(const std::string& pagePath, const PreviewSize& clientSize)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::WindowMaximizeButtonHint)
{
    setWindowTitle(QStringLiteral("Desktop Vorschau"));
    resize(clientSize.width, clientSize.height);

    statusBar_ = std::make_unique<QStatusBar>(this);
    statusBar_->setSizeGripEnabled(true);
    statusText_ = std::make_unique<QLabel>(
        QStringLiteral("Desktop Vorschau wie in der Präsentation beim Zuschauer angezeigt"));
    statusText_->setObjectName(QStringLiteral("previewStatus"));
    statusBar_->addWidget(statusText_.get(), 1); // the status bar becomes its parent

    // Created empty, sized once it shows the page.
    browser_ = std::make_unique<QTextBrowser>(this);
    browser_->setGeometry(0, 0, 0, 0);
    browser_->setOpenLinks(false);
    browser_->setFrameShape(QFrame::NoFrame);
    // The page asks for no margins, as a spectator's browser gives it.
    browser_->document()->setDocumentMargin(0);
    browser_->setSource(QUrl::fromLocalFile(fromWindows1252(pagePath)));
    fitBrowser();
}

PreviewWindow::~PreviewWindow()
{
    // The label lives inside the status bar; it goes first, while the bar still knows it.
    statusText_.reset();
}

void PreviewWindow::fitBrowser()
{
    const PreviewSize browser = previewBrowserSize({width(), height()});
    browser_->setGeometry(0, 0, browser.width, browser.height);
    statusBar_->setGeometry(0, browser.height, width(), height() - browser.height);
}

void PreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitBrowser();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (closed_)
        closed_();
}

} // namespace velmora
