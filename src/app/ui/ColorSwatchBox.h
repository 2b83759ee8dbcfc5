#pragma once
#include <cstdint>

#include <QComboBox>

namespace melvarin {

// A drop-down of colours with swatches, holding a stored colour value
// (0x00BBGGRR, or a system-colour code 0x800000nn resolved from the palette).
// A value not in the list is shown as an extra "custom" entry.
class ColorSwatchBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorSwatchBox(QWidget* parent = nullptr);

    void setStoredColor(uint32_t stored);
    uint32_t storedColor() const;

    // The colour a stored value paints with.
    static QColor toQColor(uint32_t stored, const QPalette& palette);

private:
    void addColor(uint32_t stored);
};

}  // namespace melvarin
