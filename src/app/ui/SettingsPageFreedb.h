#pragma once
#include <vector>

#include "app/SettingsFormSources.h"
#include "app/ui/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace melvarin {

// Page 8: the freedb server, proxy, time-out and the local CDDB.
class SettingsPageFreedb : public SettingsPage {
    Q_OBJECT
public:
    // `sources` must outlive the page.
    explicit SettingsPageFreedb(const SettingsFormSources& sources, QWidget* parent = nullptr);
    void load(const SettingsRecord& s) override;
    void store(SettingsRecord& s) override;

private:
    void fillSites(int select);
    void siteChosen(int index);
    void fetchSites();
    // Lines of the default server's site list; empty when the request failed.
    std::vector<std::string> askDefaultServer(int timeOutMs) const;

    const SettingsFormSources& sources_;
    std::vector<FreedbSite> sites_;

    QComboBox* serverBox_;
    QPushButton* fetch_;
    QLineEdit* server_;
    QLineEdit* path_;
    QLineEdit* proxy_;
    QLineEdit* port_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* timeOut_;
    QLineEdit* lcddbPath_;
    QCheckBox* unix_;
    QCheckBox* onlyLocal_;
};

}  // namespace melvarin
