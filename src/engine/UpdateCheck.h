#pragma once
// The update page's behaviour, without widgets: asks the update server whether a newer version
// exists, shows the answer in the page's status text, and downloads the new version's files as
// ".upd" files into the program's folder (never the working directory, which is anybody's), for the
// launcher to swap in at the next start.
#include "data/StringArray.h"

#include <QByteArray>
#include <QString>

namespace orvia {

class IInternetTransfer;
class IMessageBox;
class ISettingsStore;
class ISystemServices;
class IShellHooks;
class IUpdateView;

// Settings (section "Orvia Link") naming the update server and the web host that completes relative
// file addresses; each may carry a port ("host:port").
inline const QString kUpdateHostKey = QStringLiteral("update_host");
inline const QString kWebHostKey = QStringLiteral("web_host");
inline const QString kDefaultUpdateHost = QStringLiteral("update.orvialink.invalid");
inline const QString kDefaultWebHost = QStringLiteral("www.orvialink.invalid");
inline const QString kUpdatePath = QStringLiteral("/integration/phone/omniPath");

struct UpdateCheckDeps
{
    IInternetTransfer *inet = nullptr;
    IMessageBox *messageBox = nullptr;
    ISettingsStore *settings = nullptr;
    ISystemServices *system = nullptr;
    IShellHooks *shell = nullptr; // ends the program after a complete download
    IUpdateView *view = nullptr;
};

class UpdateCheck
{
public:
    explicit UpdateCheck(const UpdateCheckDeps &deps);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck &) = delete;
    UpdateCheck &operator=(const UpdateCheck &) = delete;

    // The page's operations.
    void ResetUpdateTab();
    void CmdSearchUpd_Click() { CheckForUpdate(); }
    void CmdUpdate_Click() { DownloadUpdate(); }
    void Inet1_StateChanged(int state);

    void CheckForUpdate();
    void DownloadUpdate();
    bool ParseUpdateInfo(const QString &reply);
    bool ParseFileList(const QString &text);
    void ShowUpdateError(const QString &text);
    void AppendUpdateStatus(const QString &text);

    // "kivo" for this program, "melu" for the sibling product (any other application title).
    void setAppTitle(const QString &title) { m_appTitle = title; }
    // major.minor.revision, as sent to the server.
    void setProgramVersion(const QString &version) { m_version = version; }
    const QString &programVersion() const { return m_version; }

    const QString &appCode() const { return m_appCode; }
    const StringArray &updateUrls() const { return m_updateUrls; }
    const StringArray &updateNames() const { return m_updateNames; }
    QString updateHost() const;
    QString webHost() const;
    // The request for the current language: http://HOST/integration/phone/omniPath?app=..&version=..&lang=..
    QString requestUrl() const;

    // "1.0.165" from an application version text; missing parts count as 0.
    static QString versionText(const QString &applicationVersion);

private:
    bool fetchAndTestFile(const QString &listedUrl, QByteArray &bytes, bool &failed);
    bool saveFile(const QString &name, const QByteArray &bytes);

    UpdateCheckDeps m_deps;
    QString m_appTitle;
    QString m_version;
    QString m_appCode;
    StringArray m_updateUrls;
    StringArray m_updateNames;
};

} // namespace orvia
