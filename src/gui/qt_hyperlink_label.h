#pragma once
// A clickable address: always underlined, black, red while the pointer is over it, hand cursor.

#include <QLabel>

namespace velmora {

class HyperlinkLabel final : public QLabel {
    Q_OBJECT
public:
    HyperlinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setColour(const QColor& colour);
};

} // namespace velmora
