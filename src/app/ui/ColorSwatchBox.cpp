#include "app/ui/ColorSwatchBox.h"

#include <QPainter>
#include <QPixmap>

#include "app/SettingsFormRules.h"

namespace melvarin {

namespace {

struct NamedColor {
    uint32_t stored;
    const char* name;
};

// The standard colours, the two system colours the shortcuts use, and the
// program's own defaults.
const NamedColor kColors[] = {
    {0x00000000, "Чёрный"},      {0x00000080, "Бордовый"},    {0x00008000, "Зелёный"},
    {0x00008080, "Оливковый"},   {0x00800000, "Тёмно-синий"}, {0x00800080, "Фиолетовый"},
    {0x00808000, "Сине-зелёный"}, {0x00808080, "Серый"},      {0x00C0C0C0, "Серебристый"},
    {0x000000FF, "Красный"},     {0x0000FF00, "Лайм"},        {0x0000FFFF, "Жёлтый"},
    {0x00FF0000, "Синий"},       {0x00FF00FF, "Фуксия"},      {0x00FFFF00, "Голубой"},
    {0x00FFFFFF, "Белый"},       {kOriginalWindowColor, "Исходный фон окна"},
    {kOriginalControlColor, "Исходный фон полей"}, {0x00D1EFFE, "Исходный цвет полосы"},
    {kSystemActiveBorder, "Системный: рамка окна"}, {kSystemWindow, "Системный: окно"},
};

}  // namespace

ColorSwatchBox::ColorSwatchBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(28, 14));
    for (const NamedColor& c : kColors) addColor(c.stored, QString::fromUtf8(c.name));
}

QColor ColorSwatchBox::toQColor(uint32_t stored, const QPalette& palette) {
    if (const auto rgb = storedColorToRgb(stored)) return QColor::fromRgb(QRgb(0xFF000000u | *rgb));
    if (stored == kSystemWindow) return palette.color(QPalette::Base);
    return palette.color(QPalette::Window).darker(115);
}

void ColorSwatchBox::addColor(uint32_t stored, const QString& name) {
    QPixmap swatch(iconSize());
    swatch.fill(Qt::transparent);
    QPainter p(&swatch);
    p.setPen(QColor(96, 96, 96));
    p.setBrush(toQColor(stored, palette()));
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    addItem(QIcon(swatch), name, QVariant::fromValue<quint32>(stored));
}

void ColorSwatchBox::setStoredColor(uint32_t stored) {
    int i = findData(QVariant::fromValue<quint32>(stored));
    if (i < 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "#%06X", storedColorToRgb(stored).value_or(0));
        addColor(stored, QStringLiteral("Свой (%1)").arg(QString::fromLatin1(hex)));
        i = count() - 1;
    }
    setCurrentIndex(i);
}

uint32_t ColorSwatchBox::storedColor() const { return currentData().value<quint32>(); }

}  // namespace melvarin
