#include "app/ui/CaptionApplier.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWidget>

#include "app/Messages.h"
#include "app/TLanguage.h"
#include "app/WindowTexts.h"

namespace melvarin {
namespace {

bool setText(QObject* target, const QString& text) {
    if (auto* m = qobject_cast<QMenu*>(target)) return m->setTitle(text), true;
    if (auto* w = qobject_cast<QWidget*>(target); w && w->isWindow()) {
        w->setWindowTitle(text);
        return true;
    }
    if (auto* a = qobject_cast<QAction*>(target)) return a->setText(text), true;
    if (auto* b = qobject_cast<QAbstractButton*>(target)) return b->setText(text), true;
    if (auto* l = qobject_cast<QLabel*>(target)) return l->setText(text), true;
    if (auto* g = qobject_cast<QGroupBox*>(target)) return g->setTitle(text), true;
    return false;
}

bool setHint(QObject* target, const QString& text) {
    if (auto* a = qobject_cast<QAction*>(target)) return a->setToolTip(text), true;
    if (auto* w = qobject_cast<QWidget*>(target)) return w->setToolTip(text), true;
    return false;
}

bool setColumn(QObject* target, int index, const QString& text) {
    if (auto* t = qobject_cast<QTableWidget*>(target); t && index < t->columnCount()) {
        if (!t->horizontalHeaderItem(index)) t->setHorizontalHeaderItem(index, new QTableWidgetItem);
        t->horizontalHeaderItem(index)->setText(text);
        return true;
    }
    if (auto* t = qobject_cast<QTreeWidget*>(target); t && index < t->columnCount()) {
        t->headerItem()->setText(index, text);
        return true;
    }
    return false;
}

bool setNode(QObject* target, int index, const QString& text) {
    auto* tree = qobject_cast<QTreeWidget*>(target);
    if (!tree) return false;
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++n) {
        if (n != index) continue;
        (*it)->setText(0, text);
        return true;
    }
    return false;
}

bool setItem(QObject* target, int index, const QString& text) {
    auto* box = qobject_cast<QComboBox*>(target);
    if (!box || index >= box->count()) return false;
    box->setItemText(index, text);
    return true;
}

}  // namespace

bool CaptionApplier::set(QWidget* window, const WindowText& entry, const QString& text) {
    const QString name = QString::fromUtf8(entry.control);
    QObject* target = window->objectName() == name ? window : window->findChild<QObject*>(name);
    if (!target) return false;
    switch (entry.role) {
    case TextRole::Title:
        if (auto* w = qobject_cast<QWidget*>(target)) return w->setWindowTitle(text), true;
        return false;
    case TextRole::Text: return setText(target, text);
    case TextRole::Hint: return setHint(target, text);
    case TextRole::Column: return setColumn(target, entry.index, text);
    case TextRole::Node: return setNode(target, entry.index, text);
    case TextRole::Item: return setItem(target, entry.index, text);
    case TextRole::String: return false;
    }
    return false;
}

void CaptionApplier::applyBuiltIn(QWidget* window, int section) {
    const WindowSection* s = WindowTexts::section(section);
    if (!s) return;
    const QString name = window->objectName();
    for (const WindowText& t : s->texts)
        if (name == QLatin1String(t.window)) set(window, t, QString::fromUtf8(t.russian));
}

namespace {

void applyTexts(QWidget* window, const WindowSection& s, const std::vector<std::string>& texts) {
    const QString name = window->objectName();
    for (std::size_t i = 0; i < s.texts.size() && i < texts.size(); ++i)
        if (name == QLatin1String(s.texts[i].window))
            CaptionApplier::set(window, s.texts[i], QString::fromStdString(texts[i]));
}

}  // namespace

void CaptionApplier::apply(QWidget* window, int section, TLanguage& language) {
    if (const WindowSection* s = WindowTexts::section(section)) applyTexts(window, *s, WindowTexts::read(language, section));
}

void CaptionApplier::applyProgramLanguage(QWidget* window, int section) {
    const WindowSection* s = WindowTexts::section(section);
    if (!s) return;
    if (const auto texts = ProgramWindowTexts(section)) applyTexts(window, *s, *texts);
}

}  // namespace melvarin
