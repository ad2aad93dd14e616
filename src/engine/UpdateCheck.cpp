#include "engine/UpdateCheck.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "common/UpdateReply.h"
#include "engine/ShellHooks.h"
#include "engine/UpdateFiles.h"
#include "engine/UpdateView.h"
#include "platform/InternetTransfer.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/SystemServices.h"
#include "platform/VisibleText.h"

#include <QCoreApplication>
#include <QVersionNumber>
#include <new>

namespace orvia {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kCheckTimeoutSeconds = 10;
constexpr int kDownloadTimeoutSeconds = 200;
// Where the caret goes after each addition: past the end of any usual status text, so it scrolls there.
constexpr int kStatusCaret = 20000;

void logLine(const QString &s)
{
    globals().gLog.log(s);
}

QString errorText(const QString &where, const RuntimeError &e)
{
    return where + QString::number(e.number()) + QLatin1Char(' ') + e.description();
}

} // namespace

UpdateCheck::UpdateCheck(const UpdateCheckDeps &deps)
    : m_deps(deps), m_appTitle(kAppTitle), m_version(versionText(QCoreApplication::applicationVersion()))
{
    if (m_deps.inet)
        m_deps.inet->setOnStateChanged([this](int state) { Inet1_StateChanged(state); });
}

UpdateCheck::~UpdateCheck()
{
    if (m_deps.inet)
        m_deps.inet->setOnStateChanged(nullptr);
}

QString UpdateCheck::versionText(const QString &applicationVersion)
{
    const QVersionNumber v = QVersionNumber::fromString(applicationVersion);
    return QStringLiteral("%1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.microVersion());
}

QString UpdateCheck::updateHost() const
{
    return m_deps.settings->get(kSettingsApp, kSettingsSection, kUpdateHostKey, kDefaultUpdateHost);
}

QString UpdateCheck::webHost() const
{
    return m_deps.settings->get(kSettingsApp, kSettingsSection, kWebHostKey, kDefaultWebHost);
}

QString UpdateCheck::requestUrl() const
{
    return QStringLiteral("http://") + updateHost() + kUpdatePath + QStringLiteral("?app=") + m_appCode +
           QStringLiteral("&version=") + m_version + QStringLiteral("&lang=") + globals().gLanguage;
}

void UpdateCheck::ResetUpdateTab()
{
    m_deps.view->setStatusText(QString());
    m_deps.view->setUpdateEnabled(false);
}

void UpdateCheck::AppendUpdateStatus(const QString &text)
{
    m_deps.view->setStatusText(m_deps.view->statusText() + text);
    m_deps.view->setStatusCaret(kStatusCaret);
}

void UpdateCheck::ShowUpdateError(const QString &text)
{
    logLine(QStringLiteral("Message error: ") + text);
    m_deps.messageBox->show(
        Translate(QStringLiteral("Error while connecting to the update server. Please retry later.")),
        mb::OkOnly);
}

void UpdateCheck::Inet1_StateChanged(int state)
{
    switch (state) {
    case inet::Resolving:
        logLine(QStringLiteral("Resolving Host..."));
        break;
    case inet::Connecting:
        logLine(QStringLiteral("Connecting..."));
        break;
    case inet::Receiving:
        logLine(QStringLiteral("Receiving response..."));
        break;
    case inet::Error:
        logLine(QStringLiteral("Inet Error"));
        break;
    default:
        logLine(QStringLiteral("Inet state: ") + QString::number(state));
        break;
    }
    AppendUpdateStatus(QStringLiteral("."));
}

bool UpdateCheck::ParseFileList(const QString &text)
{
    return orvia::ParseFileList(text, m_updateUrls, m_updateNames);
}

bool UpdateCheck::ParseUpdateInfo(const QString &reply)
{
    return orvia::ParseUpdateInfo(
        reply, [this](const QString &line) { AppendUpdateStatus(line); }, m_updateUrls, m_updateNames);
}

void UpdateCheck::CheckForUpdate()
{
    try {
        globals().gLog.StartCriticalSection(QStringLiteral("Update"));
        m_appCode = m_appTitle == kAppTitle ? QStringLiteral("kivo") : QStringLiteral("melu");
        if (updateHost()
                .section(QLatin1Char(':'), 0, 0)
                .endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive)) {
            // The placeholder that ships: no server can answer it, and trying again would not help.
            const QString notSet = Translate(
                QStringLiteral("The update server is not set. Name it with update_host in the settings file "
                               "(see the README)."));
            logLine(QStringLiteral("Update server not set: ") + updateHost());
            AppendUpdateStatus(kCrLf + notSet + kCrLf);
            m_deps.messageBox->show(notSet, mb::OkOnly);
            return;
        }
        AppendUpdateStatus(kCrLf + Translate(QStringLiteral("Connecting to the remote server...")));

        QString reply, update;
        qint16 found = 0;
        for (int attempt = 0; attempt < 2 && !found; ++attempt) {
            const QString url = requestUrl();
            logLine(QStringLiteral("Connecting to ") + updateHost() + kUpdatePath);
            m_deps.inet->setRequestTimeout(kCheckTimeoutSeconds);
            reply = m_deps.inet->openUrlText(url);
            GetTagValue(reply, QStringLiteral("update"), update, found);
        }
        if (!found) {
            logLine(QStringLiteral("Can't connect to the update server: ") + reply);
            AppendUpdateStatus(kCrLf + Translate(QStringLiteral("Can't connect to the update server")) +
                               kCrLf);
            return;
        }
        logLine(reply);
        AppendUpdateStatus(kCrLf + Translate(QStringLiteral("Connection established.")) + kCrLf);
        if (IsUpToDate(update)) {
            AppendUpdateStatus(Translate(QStringLiteral("The application is already up to date")) + kCrLf);
            return;
        }
        if (ParseUpdateInfo(reply))
            m_deps.view->setUpdateEnabled(true);
        else
            ShowUpdateError(reply);
    } catch (const RuntimeError &e) {
        ShowUpdateError(errorText(QStringLiteral("Error in connectforupdate: "), e));
    } catch (const std::bad_alloc &) {
        ShowUpdateError(QStringLiteral("Error in connectforupdate: 7 Out of memory"));
    }
}

// Fetches file `index` into `bytes`. False when the file is not to be saved: an error page (which marks
// the download failed unless the server reported success).
bool UpdateCheck::fetchAndTestFile(const QString &listedUrl, QByteArray &bytes, bool &failed)
{
    QString url = listedUrl;
    if (!url.toLower().contains(QStringLiteral("http://")))
        url = QStringLiteral("http://") + webHost() + url;
    logLine(QStringLiteral("Getting ") + visibleText(url));
    AppendUpdateStatus(kCrLf + Translate(QStringLiteral("Downloading")) + QLatin1Char(' ') + url + kCrLf);
    AppendUpdateStatus(Translate(QStringLiteral("Please wait...")));
    m_deps.inet->setRequestTimeout(kDownloadTimeoutSeconds);
    bytes = m_deps.inet->openUrlBytes(url);
    if (!IsErrorPage(bytes))
        return true;
    if (!IsSuccessStatus(m_deps.inet->getHeader())) {
        failed = true;
        logLine(QStringLiteral("The remote server returned an error."));
        AppendUpdateStatus(
            kCrLf +
            Translate(QStringLiteral("Error while connecting to the update server. Please retry later.")) +
            kCrLf);
    }
    return false;
}

// Saves one file as NAME.upd; false (after the save error box) when it could not be saved.
bool UpdateCheck::saveFile(const QString &name, const QByteArray &bytes)
{
    try {
        CheckUpdateFileName(name);
        const QString folder = m_deps.system->programDir();
        const qsizetype slash = name.indexOf(QLatin1Char('/'));
        if (slash >= 0) {
            const QString subfolder = folder + QLatin1Char('/') + name.left(slash);
            if (!m_deps.system->fileExists(subfolder))
                m_deps.system->makeDir(subfolder);
        }
        const QString target = UpdateFileTarget(folder, name);
        logLine(QStringLiteral("Saving to ") + visibleText(name) + QStringLiteral(".upd"));
        WriteUpdateFile(target + QStringLiteral(".upd"), bytes, target);
        logLine(QStringLiteral("Saved."));
        return true;
    } catch (const RuntimeError &e) {
        m_deps.messageBox->show(Translate(QStringLiteral("An error occurred while saving the file.")) +
                                    kCrLf + Translate(QStringLiteral("The error was:")) + kCrLf +
                                    e.description(),
                                mb::OkOnly);
        return false;
    }
}

void UpdateCheck::DownloadUpdate()
{
    // A check started while a file is being fetched replaces the lists; this download keeps its own.
    const StringArray urls = m_updateUrls;
    const StringArray names = m_updateNames;
    // A list that failed part-way can hold an address without its name: that entry is not offered.
    const qint16 count = qMin(urls.count(), names.count());
    bool failed = false;
    for (qint16 i = 0; i < count; ++i) {
        QByteArray bytes;
        try {
            if (!fetchAndTestFile(urls.GetItem(i), bytes, failed))
                continue;
        } catch (const RuntimeError &e) {
            ShowUpdateError(errorText(QStringLiteral("Error in startdownload: "), e));
            return;
        } catch (const std::bad_alloc &) {
            ShowUpdateError(QStringLiteral("Error in startdownload: 7 Out of memory"));
            return;
        }
        if (!saveFile(names.GetItem(i), bytes))
            return;
    }
    if (failed)
        return;
    logLine(QStringLiteral("Finished Download"));
    m_deps.messageBox->show(Translate(QStringLiteral("Download finished.")) + kCrLf +
                                Translate(QStringLiteral("Please restart the application.")),
                            mb::OkOnly);
    if (m_deps.shell)
        m_deps.shell->quit();
}

} // namespace orvia
