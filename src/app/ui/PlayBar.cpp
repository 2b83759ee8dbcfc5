#include "app/ui/PlayBar.h"

#include <QPainter>

#include <algorithm>

namespace melvarin {

PlayBar::PlayBar(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
}

void PlayBar::setPermille(int permille) {
    permille = std::clamp(permille, 0, 1000);
    if (permille == permille_) return;
    permille_ = permille;
    update();
    emit permilleChanged(permille);
}

void PlayBar::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect inside = contentsRect();
    const int width = static_cast<int>(static_cast<long long>(inside.width()) * permille_ / 1000);
    if (width <= 0) return;
    QPainter painter(this);
    painter.fillRect(QRect(inside.left(), inside.top(), width, inside.height()),
                     palette().color(QPalette::Window).darker(135));
}

}  // namespace melvarin
