#pragma once
#include <array>

#include <QDialog>

#include "app/SettingsFormRules.h"
#include "app/SettingsFormSources.h"
#include "app/SettingsRecord.h"

#include "disc/DiscRecord.h"

class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace melvarin {

class SettingsPage;
class SettingsPageFiles;

// The settings window: twelve pages chosen from a page tree, working on copies
// of the settings record and of the disc record. "Ok" (or Enter) checks and
// stores every page into the copy and accepts; Escape or "Отмена" rejects and
// leaves the copies as they came. Captions: sections 02 and 07 of the current
// language.
//
//   TSettingsForm form(this, settings, haveDisc ? &disc : nullptr, prompt, sources);
//   if (form.exec() == QDialog::Accepted) { settings = form.settings(); disc = form.disc(); }
class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageCount = 12;

    // `disc` is the disc the main window holds, or nullptr when none is loaded.
    // `prompt` answers the window's questions and shows its messages (texts from
    // Message(n)); it and the sources' callbacks must outlive the window.
    TSettingsForm(QWidget* parent, const SettingsRecord& settings, const DiscRecord* disc,
                  UserPrompt& prompt, SettingsFormSources sources = {});
    ~TSettingsForm() override;

    // The window's copy: after an accepted run, the record to keep.
    const SettingsRecord& settings() const { return settings_; }
    const DiscRecord& disc() const { return disc_; }
    bool hasDisc() const { return hasDisc_; }

    // The page shown (0..11).
    int currentPage() const;
    void showPage(int page);

public slots:
    void accept() override;

private:
    void buildTree();
    void applyColors();

    SettingsRecord settings_;
    UserPrompt& prompt_;
    DiscRecord disc_{};
    bool hasDisc_ = false;
    SettingsFormSources sources_;

    QTreeWidget* tree_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::array<SettingsPage*, kPageCount> pages_{};
    std::array<QTreeWidgetItem*, kPageCount> nodes_{};
    SettingsPageFiles* files_ = nullptr;
};

}  // namespace melvarin
