#include "app/ui/ColorSwatchBox.h"

#include <QPainter>
#include <QPixmap>

#include "app/SettingsFormRules.h"

namespace melvarin {

namespace {

// The standard colours, the program's own defaults and the two system colours
// the scheme shortcuts use. Plain colours are named by their hexadecimal RGB, so
// the list needs no translation.
const uint32_t kColors[] = {
    0x00000000, 0x00000080, 0x00008000, 0x00008080, 0x00800000, 0x00800080, 0x00808000,
    0x00808080, 0x00C0C0C0, 0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF0000, 0x00FF00FF,
    0x00FFFF00, 0x00FFFFFF, kOriginalWindowColor, kOriginalControlColor, 0x00D1EFFE,
    kSystemActiveBorder, kSystemWindow,
};

QString colorName(uint32_t stored) {
    if (stored == kSystemActiveBorder) return QStringLiteral("clActiveBorder");
    if (stored == kSystemWindow) return QStringLiteral("clWindow");
    if (const auto rgb = storedColorToRgb(stored))
        return QLatin1Char('#') + QStringLiteral("%1").arg(*rgb, 6, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("0x") + QStringLiteral("%1").arg(stored, 8, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

ColorSwatchBox::ColorSwatchBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(28, 14));
    for (uint32_t c : kColors) addColor(c);
}

QColor ColorSwatchBox::toQColor(uint32_t stored, const QPalette& palette) {
    if (const auto rgb = storedColorToRgb(stored)) return QColor::fromRgb(QRgb(0xFF000000u | *rgb));
    if (stored == kSystemWindow) return palette.color(QPalette::Base);
    return palette.color(QPalette::Window).darker(115);
}

void ColorSwatchBox::addColor(uint32_t stored) {
    QPixmap swatch(iconSize());
    swatch.fill(Qt::transparent);
    QPainter p(&swatch);
    p.setPen(QColor(96, 96, 96));
    p.setBrush(toQColor(stored, palette()));
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    addItem(QIcon(swatch), colorName(stored), QVariant::fromValue<quint32>(stored));
}

void ColorSwatchBox::setStoredColor(uint32_t stored) {
    int i = findData(QVariant::fromValue<quint32>(stored));
    if (i < 0) {
        addColor(stored);
        i = count() - 1;
    }
    setCurrentIndex(i);
}

uint32_t ColorSwatchBox::storedColor() const { return currentData().value<quint32>(); }

}  // namespace melvarin
