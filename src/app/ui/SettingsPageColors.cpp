#include "app/ui/SettingsPageColors.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include "app/ui/ColorSwatchBox.h"

namespace melvarin {

namespace {

// A label used as a link: red while the mouse button is down, blue once released.
class SchemeLink : public QLabel {
public:
    SchemeLink(const QString& text, std::function<void()> action, QWidget* parent)
        : QLabel(text, parent), action_(std::move(action)) {
        setCursor(Qt::PointingHandCursor);
        paint(Qt::blue);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) paint(Qt::red);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        paint(Qt::blue);
        if (rect().contains(e->position().toPoint())) action_();
    }

private:
    void paint(Qt::GlobalColor c) {
        setStyleSheet(QStringLiteral("color: %1; text-decoration: underline;").arg(QColor(c).name()));
    }
    std::function<void()> action_;
};

}  // namespace

SettingsPageColors::SettingsPageColors(QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 11), parent) {
    auto* g = group("ColorGroup");
    auto* l = new QGridLayout(g);
    const auto row = [&](int r, const char* labelName, const char* boxName, const char* buttonName,
                         ColorSwatchBox*& box) {
        box = new ColorSwatchBox(g);
        box->setObjectName(QString::fromLatin1(boxName));
        auto* pick = new QToolButton(g);
        pick->setObjectName(QString::fromLatin1(buttonName));
        pick->setText(QStringLiteral("..."));
        l->addWidget(label(labelName, caption(labelName), g), r, 0);
        l->addWidget(box, r, 1);
        l->addWidget(pick, r, 2);
        connect(pick, &QToolButton::clicked, this, [this, box] {
            const QColor chosen = QColorDialog::getColor(ColorSwatchBox::toQColor(box->storedColor(), palette()), this);
            if (chosen.isValid()) box->setStoredColor(rgbToStoredColor(chosen.rgb() & 0xFFFFFF));
        });
    };
    row(0, "WindowColorLabel", "WindowColorBox", "SpeedButton4", window_);
    row(1, "ControlColorLabel", "ControlColorBox", "SpeedButton7", control_);
    row(2, "PlayBarColorLabel", "PlayBarColorBox", "SpeedButton6", playBar_);
    l->setColumnStretch(1, 1);

    auto* schemes = group("SchemeGroup");
    auto* sl = new QHBoxLayout(schemes);
    auto* standard = new SchemeLink(caption("StandardLabel"), [this] {
        window_->setStoredColor(kSystemActiveBorder);
        control_->setStoredColor(kSystemWindow);
    }, schemes);
    standard->setObjectName(QStringLiteral("StandardLabel"));
    auto* original = new SchemeLink(caption("OriginalLabel"), [this] {
        window_->setStoredColor(kOriginalWindowColor);
        control_->setStoredColor(kOriginalControlColor);
    }, schemes);
    original->setObjectName(QStringLiteral("OriginalLabel"));
    sl->addWidget(standard);
    sl->addSpacing(24);
    sl->addWidget(original);
    sl->addStretch(1);
}

void SettingsPageColors::load(const SettingsRecord& s) {
    window_->setStoredColor(s.WindowColor);
    control_->setStoredColor(s.ControlColor);
    playBar_->setStoredColor(s.PlayBarColor);
}

void SettingsPageColors::store(SettingsRecord& s) {
    s.WindowColor = window_->storedColor();
    s.ControlColor = control_->storedColor();
    s.PlayBarColor = playBar_->storedColor();
}

}  // namespace melvarin
