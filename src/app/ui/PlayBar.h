#pragma once
#include <QFrame>

namespace melvarin {

// The bar under the play buttons (`PaintBox1`): its background is the settings'
// PlayBarColor, and a darker part from the left shows how far the current job
// has come. Playback will move it over a track; during a grab it shows the
// grab's overall progress.
class PlayBar : public QFrame {
    Q_OBJECT
public:
    explicit PlayBar(QWidget* parent = nullptr);

    // How much of the bar is filled, 0 to 1000 (values outside are clamped).
    void setPermille(int permille);
    int permille() const { return permille_; }

signals:
    void permilleChanged(int permille);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int permille_ = 0;
};

}  // namespace melvarin
