#include "app/ui/SettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace melvarin {

SettingsPage::SettingsPage(const QString& title, QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(8);

    title_ = new QLabel(title, this);
    title_->setObjectName(QStringLiteral("PageTitle"));
    QFont f = title_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.25);
    title_->setFont(f);
    outer->addWidget(title_);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    body_ = new QVBoxLayout;
    body_->setSpacing(8);
    outer->addLayout(body_);
    outer->addStretch(1);
}

void SettingsPage::setTitle(const QString& title) { title_->setText(title); }

QString SettingsPage::caption(const char* name, TextRole role, int index) {
    return QString::fromStdString(WindowTexts::russian("TSettingsForm", name, role, index));
}

uint8_t SettingsPage::flag(const QAbstractButton* b) { return b->isChecked() ? 1 : 0; }

QCheckBox* SettingsPage::checkBox(const char* name, const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent ? parent : this);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox* SettingsPage::comboBox(const char* name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent ? parent : this);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QLineEdit* SettingsPage::lineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent ? parent : this);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLabel* SettingsPage::label(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent ? parent : this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QGroupBox* SettingsPage::group(const char* name) {
    auto* g = new QGroupBox(caption(name), this);
    g->setObjectName(QString::fromLatin1(name));
    body_->addWidget(g);
    return g;
}

}  // namespace melvarin
