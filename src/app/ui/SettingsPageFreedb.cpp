#include "app/ui/SettingsPageFreedb.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/Messages.h"
#include "cddb/CCDDB.h"
#include "platform/FileUtil.h"
#include "platform/ProgramHome.h"

namespace melvarin {

namespace {
const char* const kSiteFile = "serervs.lst";
}

SettingsPageFreedb::SettingsPageFreedb(const SettingsFormSources& sources, QWidget* parent)
    : SettingsPage(caption("TreeView1", TextRole::Node, 9), parent), sources_(sources) {
    auto* server = group("ServerGroup");
    auto* sl = new QGridLayout(server);
    serverBox_ = comboBox("ServerBox", {}, server);
    fetch_ = new QPushButton(caption("SpeedButton5"), server);
    fetch_->setObjectName(QStringLiteral("SpeedButton5"));
    server_ = lineEdit("ServerEdit", server);
    server_->setMaxLength(24);
    path_ = lineEdit("PathEdit", server);
    path_->setMaxLength(29);
    timeOut_ = lineEdit("TimeOutEdit", server);
    timeOut_->setMaxLength(5);
    timeOut_->setMaximumWidth(60);
    sl->addWidget(label("ServerBoxLabel", caption("ServerBoxLabel"), server), 0, 0);
    sl->addWidget(serverBox_, 0, 1, 1, 3);
    sl->addWidget(fetch_, 1, 1, 1, 3, Qt::AlignLeft);
    sl->addWidget(label("ServerLabel", caption("ServerLabel"), server), 2, 0);
    sl->addWidget(server_, 2, 1);
    sl->addWidget(label("PathLabel", caption("PathLabel"), server), 2, 2);
    sl->addWidget(path_, 2, 3);
    sl->addWidget(label("TimeOutLabel", caption("TimeOutLabel"), server), 3, 0);
    sl->addWidget(timeOut_, 3, 1, Qt::AlignLeft);
    sl->setColumnStretch(1, 1);
    sl->setColumnStretch(3, 1);

    auto* proxy = group("ProxyGroup");
    auto* pl = new QGridLayout(proxy);
    proxy_ = lineEdit("ProxyEdit", proxy);
    proxy_->setMaxLength(24);
    port_ = lineEdit("PortEdit", proxy);
    port_->setMaxLength(5);
    port_->setMaximumWidth(60);
    user_ = lineEdit("UserEdit", proxy);
    user_->setMaxLength(24);
    password_ = lineEdit("PasswordEdit", proxy);
    password_->setMaxLength(19);
    password_->setEchoMode(QLineEdit::Password);
    pl->addWidget(label("ProxyLabel", caption("ProxyLabel"), proxy), 0, 0);
    pl->addWidget(proxy_, 0, 1);
    pl->addWidget(label("PortLabel", caption("PortLabel"), proxy), 0, 2);
    pl->addWidget(port_, 0, 3);
    pl->addWidget(label("UserLabel", caption("UserLabel"), proxy), 1, 0);
    pl->addWidget(user_, 1, 1);
    pl->addWidget(label("PasswordLabel", caption("PasswordLabel"), proxy), 1, 2);
    pl->addWidget(password_, 1, 3);
    pl->setColumnStretch(1, 1);
    pl->setColumnStretch(3, 1);

    auto* local = group("LocalCDDBGroup");
    auto* ll = new QGridLayout(local);
    lcddbPath_ = lineEdit("LCDDBPathEdit", local);
    auto* browse = new QToolButton(local);
    browse->setObjectName(QStringLiteral("SpeedButton8"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(caption("SpeedButton8", TextRole::Hint));
    unix_ = checkBox("UnixBox", caption("UnixBox"), local);
    onlyLocal_ = checkBox("UseOnlyMLVBaseBox", caption("UseOnlyMLVBaseBox"), local);
    ll->addWidget(label("LCDDBPathLabel", caption("LCDDBPathLabel"), local), 0, 0);
    ll->addWidget(lcddbPath_, 0, 1);
    ll->addWidget(browse, 0, 2);
    ll->addWidget(unix_, 1, 0, 1, 3);
    ll->addWidget(onlyLocal_, 2, 0, 1, 3);
    ll->setColumnStretch(1, 1);

    connect(serverBox_, &QComboBox::activated, this, &SettingsPageFreedb::siteChosen);
    connect(fetch_, &QPushButton::clicked, this, &SettingsPageFreedb::fetchSites);
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, qs(Message(32)), lcddbPath_->text());
        if (!dir.isEmpty()) lcddbPath_->setText(qs(withTrailingSlash(ss(dir))));
    });
}

void SettingsPageFreedb::fillSites(int select) {
    serverBox_->clear();
    for (const FreedbSite& site : sites_) serverBox_->addItem(qs(siteText(site)));
    serverBox_->setCurrentIndex(select >= 0 && select < serverBox_->count() ? select : -1);
}

void SettingsPageFreedb::siteChosen(int index) {
    if (index < 0 || index >= int(sites_.size())) return;
    server_->setText(qs(sites_[std::size_t(index)].host));
    path_->setText(qs(sites_[std::size_t(index)].path));
}

std::vector<std::string> SettingsPageFreedb::askDefaultServer(int timeOutMs) const {
    CCDDB client(timeOutMs);
    if (!proxy_->text().isEmpty())
        client.SetProxy(ss(proxy_->text()), int(parseNumber(ss(port_->text()), 1, 65535, kFallbackPort)),
                        ss(user_->text()), ss(password_->text()));
    std::vector<CCDDBSite> sites;
    client.GetSites(CCDDBSite{}, sites, 20);
    std::vector<std::string> lines;
    for (const CCDDBSite& site : sites) lines.push_back(site.Description + "#" + site.Host + "#" + site.Path + "#");
    return lines;
}

void SettingsPageFreedb::fetchSites() {
    const int timeOut = timeOutFromText(ss(timeOut_->text()));
    std::vector<std::string> lines;
    if (sources_.fetchSites) {
        lines = sources_.fetchSites(timeOut);
    } else {
        // The request blocks for at most the time-out.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        lines = askDefaultServer(timeOut);
        QApplication::restoreOverrideCursor();
    }
    if (lines.empty()) return;
    std::string file;
    for (const auto& line : lines) file += line + "\r\n";
    sites_ = parseSiteList(file);
    FileUtil::makeDirs(ProgramHome::settingDir());
    FileUtil::writeAtomically(ProgramHome::settingDir() + kSiteFile, file);
    fillSites(0);
}

void SettingsPageFreedb::load(const SettingsRecord& s) {
    const auto file = FileUtil::readAll(ProgramHome::settingDir() + kSiteFile, 1 << 20);
    sites_ = file ? parseSiteList(*file) : std::vector<FreedbSite>{};
    fillSites(s.ServerListIndex);

    server_->setText(qs(getText(s.Server)));
    path_->setText(qs(getText(s.Path)));
    if (server_->text().isEmpty()) {
        server_->setText(QString::fromLatin1(CCDDBSite::kDefaultHost));
        path_->setText(QString::fromLatin1(CCDDBSite::kDefaultPath));
    }
    timeOut_->setText(qs(timeOutText(s.TimeOut)));
    proxy_->setText(qs(getText(s.Proxy)));
    port_->setText(QString::number(s.Port));
    user_->setText(qs(getText(s.User)));
    password_->setText(qs(getText(s.Password)));
    lcddbPath_->setText(qs(resolveLocalCddbPath(getText(s.LCDDBPath), ProgramHome::localCddbDir())));
    unix_->setChecked(s.Unix);
    onlyLocal_->setChecked(s.UseOnlyLocalBase);
}

void SettingsPageFreedb::store(SettingsRecord& s) {
    if (serverBox_->currentIndex() >= 0) s.ServerListIndex = uint8_t(serverBox_->currentIndex());
    setText(s.Server, ss(server_->text()));
    setText(s.Path, ss(path_->text()));
    s.TimeOut = timeOutFromText(ss(timeOut_->text()));
    setText(s.Proxy, ss(proxy_->text()));
    s.UseProxy = proxy_->text().isEmpty() ? 0 : 1;
    s.Port = int32_t(parseNumber(ss(port_->text()), 1, 65535, kFallbackPort));
    setText(s.User, ss(user_->text()));
    setText(s.Password, ss(password_->text()));
    const std::string lcddb = resolveLocalCddbPath(ss(lcddbPath_->text()), ProgramHome::localCddbDir());
    setText(s.LCDDBPath, lcddb);
    lcddbPath_->setText(qs(lcddb));
    s.Unix = flag(unix_);
    s.UseOnlyLocalBase = flag(onlyLocal_);
}

}  // namespace melvarin
