#pragma once
#include <QWidget>

#include "app/SettingsFormRules.h"
#include "app/SettingsRecord.h"
#include "app/WindowTexts.h"

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace melvarin {

// One page of the settings window. A page shows the fields of the window's copy
// of the settings record (`load`) and writes its controls back into a record
// (`store`); stores happen only when the whole window is confirmed.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    // `title` heads the page; the page's controls go into `body()`.
    SettingsPage(const QString& title, QWidget* parent = nullptr);

    void setTitle(const QString& title);

    // The built-in Russian caption of control `name` from the window-text table
    // (the same texts a translation replaces).
    static QString caption(const char* name, TextRole role = TextRole::Text, int index = 0);

    virtual void load(const SettingsRecord& s) = 0;
    virtual void store(SettingsRecord& s) = 0;

protected:
    QBoxLayout* body() const { return body_; }

    static QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
    static std::string ss(const QString& text) { return text.toStdString(); }
    static uint8_t flag(const QAbstractButton* b);

    // Small factories: every control carries its objectName.
    QCheckBox* checkBox(const char* name, const QString& text, QWidget* parent = nullptr);
    QComboBox* comboBox(const char* name, const QStringList& items, QWidget* parent = nullptr);
    QLineEdit* lineEdit(const char* name, QWidget* parent = nullptr);
    QLabel* label(const char* name, const QString& text, QWidget* parent = nullptr);
    // A framed group added to the page, titled by its table caption (untitled
    // when the table has none).
    QGroupBox* group(const char* name);

private:
    QBoxLayout* body_;
    QLabel* title_;
};

}  // namespace melvarin
