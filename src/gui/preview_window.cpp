#include "gui/preview_window.h"

#include "app/program_windows.h"
#include "gui/qt_gadgets.h"
#include "gui/text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>

namespace velmora {

PreviewWindow::PreviewWindow(const std::string& pagePath, const PreviewSize& clientSize)
{
    const WindowDescription& description = previewWindowDescription();
    describeWindow(*this, description, Qt::Window);
    // Topmost only as its owner is: the caller decides.
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    resize(clientSize.width, clientSize.height);

    statusBar_ = std::make_unique<QStatusBar>(this);
    statusBar_->setSizeGripEnabled(true);
    const GadgetDescription& status = *description.gadget(kPreviewStatusGadget);
    statusText_ = std::make_unique<QLabel>(fromWindows1252(status.text));
    statusText_->setObjectName(QStringLiteral("gadget%1").arg(status.id));
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
