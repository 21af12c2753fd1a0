#pragma once
// "Desktop Vorschau": the previewed picture shown through the local preview page in an HTML
// view, above a status bar that says what the presenter is looking at.

#include "capture/preview_layout.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QStatusBar;
class QTextBrowser;

namespace velmora {

class PreviewWindow final : public QWidget {
public:
    // pagePath: full path of the preview page; the picture it names is found next to it.
    // clientSize: from previewClientSize.
    PreviewWindow(const std::string& pagePath, const PreviewSize& clientSize);
    ~PreviewWindow() override;

    // Runs when the presenter closes the window with its close box.
    void onCloseBox(std::function<void()> closed) { closed_ = std::move(closed); }

    QTextBrowser& browser() const { return *browser_; }
    QStatusBar& statusBar() const { return *statusBar_; }

    // The HTML view fills the client area but for the status bar's 23 pixels at the bottom.
    void fitBrowser();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<QTextBrowser> browser_;
    std::unique_ptr<QStatusBar> statusBar_;
    std::unique_ptr<QLabel> statusText_;
    std::function<void()> closed_;
};

} // namespace velmora
