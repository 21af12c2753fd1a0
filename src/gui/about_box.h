#pragma once
// "Über Velmora": name, version, notice and the maker's homepage, which is the installed help.
// Not modal; closing it changes nothing about a running presentation.

#include "gui/hyperlink_label.h"

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace velmora {

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    AboutBox(QWidget* owner, const QFont& titleFont, const QString& homepage);

signals:
    void linkClicked();

private:
    QLabel title_;
    QLabel version_;
    QLabel notice_;
    QLabel label_;
    HyperlinkLabel link_;
    QPushButton ok_;
};

} // namespace velmora
