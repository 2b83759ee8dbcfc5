#include "app/ui/TSettingsForm.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ui/CaptionApplier.h"
#include "app/ui/ColorSwatchBox.h"
#include "app/ui/SettingsPageBurn.h"
#include "app/ui/SettingsPageButtons.h"
#include "app/ui/SettingsPageColors.h"
#include "app/ui/SettingsPageDrive.h"
#include "app/ui/SettingsPageEncoders.h"
#include "app/ui/SettingsPageFiles.h"
#include "app/ui/SettingsPageFreedb.h"
#include "app/ui/SettingsPageGeneral.h"
#include "app/ui/SettingsPageMp3.h"
#include "app/ui/SettingsPageNormalize.h"
#include "app/ui/SettingsPageOgg.h"
#include "app/ui/SettingsPageWma.h"

namespace melvarin {

namespace {
constexpr int kPageRole = Qt::UserRole + 1;
}

TSettingsForm::TSettingsForm(QWidget* parent, const SettingsRecord& settings, const DiscRecord* disc,
                             UserPrompt& prompt, SettingsFormSources sources)
    : QDialog(parent), settings_(settings), prompt_(prompt), sources_(std::move(sources)) {
    if (disc) {
        disc_ = *disc;
        hasDisc_ = true;
    }
    setObjectName(QStringLiteral("TSettingsForm"));
    setWindowTitle(SettingsPage::caption("TSettingsForm", TextRole::Title));

    files_ = new SettingsPageFiles(prompt_);
    files_->setPreviewDisc(hasDisc_ ? &disc_ : nullptr, sources_.discTags);
    pages_ = {new SettingsPageGeneral, files_, new SettingsPageMp3(sources_), new SettingsPageOgg,
              new SettingsPageWma, new SettingsPageEncoders(sources_), new SettingsPageNormalize,
              new SettingsPageDrive(sources_), new SettingsPageFreedb(sources_),
              new SettingsPageColors, new SettingsPageButtons, new SettingsPageBurn};

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("Pages"));
    for (int i = 0; i < kPageCount; ++i) {
        pages_[i]->setObjectName(QStringLiteral("Page%1").arg(i));
        stack_->addWidget(pages_[i]);
    }

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    tree_->setFixedWidth(180);
    tree_->setItemsExpandable(false);
    tree_->setRootIsDecorated(false);
    tree_->setIndentation(14);
    buildTree();

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(SettingsPage::caption("OkButton"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(SettingsPage::caption("CancelButton"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TSettingsForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TSettingsForm::reject);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(tree_);
    top->addWidget(stack_, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top, 1);
    outer->addWidget(buttons);

    for (SettingsPage* p : pages_) p->load(settings_);
    applyColors();

    showPage(0);
    showPage(settings_.SettingsPage < kPageCount ? settings_.SettingsPage : 0);
    resize(720, 520);
    // The burning page's texts have a section of their own.
    CaptionApplier::applyProgramLanguage(this, 2);
    CaptionApplier::applyProgramLanguage(this, 7);
}

TSettingsForm::~TSettingsForm() = default;

void TSettingsForm::buildTree() {
    // Nodes are captioned in display order (node n of the window-text table).
    int node = 0;
    const auto leaf = [this, &node](QTreeWidgetItem* parent, int page) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, SettingsPage::caption("TreeView1", TextRole::Node, node++));
        item->setData(0, kPageRole, page);
        nodes_[page] = item;
    };
    const auto groupNode = [this, &node] {
        auto* item = new QTreeWidgetItem(tree_);
        item->setText(0, SettingsPage::caption("TreeView1", TextRole::Node, node++));
        item->setData(0, kPageRole, -1);
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
        return item;
    };
    leaf(nullptr, 0);
    leaf(nullptr, 1);
    QTreeWidgetItem* audio = groupNode();
    for (int page = 2; page <= 6; ++page) leaf(audio, page);
    leaf(nullptr, 7);
    leaf(nullptr, 8);
    QTreeWidgetItem* view = groupNode();
    leaf(view, 9);
    leaf(view, 10);
    leaf(nullptr, 11);
    tree_->expandAll();

    // A translated node caption also heads its page.
    connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        const int page = item->data(0, kPageRole).toInt();
        if (page >= 0) pages_[page]->setTitle(item->text(0));
    });

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        const int page = item->data(0, kPageRole).toInt();
        if (page >= 0 && page != stack_->currentIndex()) stack_->setCurrentIndex(page);
    });
}

void TSettingsForm::applyColors() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorSwatchBox::toQColor(settings_.WindowColor, palette()));
    pal.setColor(QPalette::Base, ColorSwatchBox::toQColor(settings_.ControlColor, palette()));
    setPalette(pal);
    setAutoFillBackground(true);
}

int TSettingsForm::currentPage() const { return stack_->currentIndex(); }

void TSettingsForm::showPage(int page) {
    if (page < 0 || page >= kPageCount) return;
    stack_->setCurrentIndex(page);
    tree_->setCurrentItem(nodes_[page]);
}

void TSettingsForm::accept() {
    if (!files_->validate()) {
        showPage(1);
        return;
    }
    for (SettingsPage* p : pages_) p->store(settings_);
    settings_.SettingsPage = uint8_t(currentPage());
    QDialog::accept();
}

}  // namespace melvarin
