// Backup scenario: makes the rescue medium act as the installed system for the
// backup suite (host name, machine id, keys, client settings), starts the
// local client, queues a rescue-image task with the archive tool, waits for
// the deduplication daemon and polls the task's final status.
//
// The run lasts from minutes to hours on the GUI thread: every wait processes
// events, child processes are waited for through the event loop, and the
// stage reached is published in runStage for the run page.

#include "keymaster.h"
#include "sv_paths.h"

#include "coreconfig.h"
#include "notifier.h"
#include "scope_guard.h"
#include "sv_key_common.h"
#include "sv_protocol.h"
#include "task_status.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kMountRoot = QString::fromLatin1(sv_paths::mountRoot);
const QString kClientConfigFile = QString::fromLatin1(sv_paths::clientConfigFile);
const QString kMachineIdFile = QStringLiteral("/etc/machine-id");
const QString kMasterKeyFile = QString::fromLatin1(sv_paths::masterKeyFile);
const QString kKeysFolder = QString::fromLatin1(sv_paths::keysFolder) + QLatin1Char('/');
const QString kSecretKeyName = QStringLiteral("secret-key.pem");
const QString kPublicKeyName = QStringLiteral("public-key.pem");
const QString kClientLogFile = QString::fromLatin1(sv_paths::clientLogFile);
const QString kDefaultLocalBackupDir = QStringLiteral("/sarvelin_tmp");
const QString kArchivesProgram = QStringLiteral("/opt/sarvelin/bin/sv_archives");
const QString kArchivesLogFile = QStringLiteral("/tmp/sv_archives.log");

// Bytes of the empty master key written when the installed system has none.
constexpr int kMasterKeySize = 32;
// The archive tool and the daemon test must end within this time.
constexpr int kChildTimeoutMs = 30000;
// Waits of the scenario, in production milliseconds.
constexpr int kBeforeArchivesMs = 1000;
constexpr int kSvfdStartMs = 10000;
constexpr int kSvfdPassMs = 20000;
constexpr int kStatusPollMs = 5000;
constexpr int kStatusPolls = 180;

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Writes `content` to `path` with mode `mode`, replacing what was there and
// whatever mode the file had; a link at `path` is never followed. Returns the system's error text, empty on success.
QString writeFileWithMode(const QString& path, const QByteArray& content, mode_t mode)
{
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0)
        return systemError(errno);
    int err = 0;
    if (::fchmod(fd, mode) != 0)
        err = errno;
    qint64 written = 0;
    while (err == 0 && written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, static_cast<size_t>(content.size() - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
        } else {
            written += n;
        }
    }
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err == 0 ? QString() : systemError(err);
}

// Files taken from the installed system are small: keys, ids, settings.
constexpr std::size_t kInstalledFileMaxSize = 1024 * 1024;

// Reads the installed system's regular file `source` (never a FIFO, device
// node or directory planted there); the error text, empty on success.
QString readInstalledFile(const QString& source, QByteArray* content)
{
    std::string data;
    const std::string error
        = sv_key_common::read_regular_file(QFile::encodeName(source).toStdString(), kInstalledFileMaxSize, &data);
    if (!error.empty())
        return QString::fromLocal8Bit(error.c_str());
    *content = QByteArray(data.data(), static_cast<int>(data.size()));
    return QString();
}

// Copies the installed system's regular file `source` to `destination` (see
// writeFileWithMode); the error text, empty on success.
QString copyFileWithMode(const QString& source, const QString& destination, mode_t mode)
{
    QByteArray content;
    const QString error = readInstalledFile(source, &content);
    if (!error.isEmpty())
        return error;
    return writeFileWithMode(destination, content, mode);
}

// Replaces `path` (or the file its link leads to) by a file holding
// `content`, written beside it first and renamed over it, so that a failed
// write leaves the old file in place. The error text, empty on success.
QString replaceFileAtomically(const QString& path, const QByteArray& content, mode_t mode)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : path;
    const QString temporary = target + QStringLiteral(".svkey-new");
    ::unlink(QFile::encodeName(temporary).constData());
    QString error = writeFileWithMode(temporary, content, mode);
    if (error.isEmpty()
        && ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        error = systemError(errno);
    if (!error.isEmpty())
        ::unlink(QFile::encodeName(temporary).constData());
    return error;
}

} // namespace

void KeyMaster::createBackup()
{
    OperationScope operation(*this, Operation::BackingUp, "createBackup");
    if (!operation.granted()) {
        // The run page waits for the end signal.
        emit creatingBackupEnded(false);
        return;
    }
    // The window is drawn between the mount commands of the run too.
    const QMetaObject::Connection drawing
        = QObject::connect(&fstabModel, &FsModel::commandDone, this, [this] { processEventsOnce(); });
    const bool result = createBackupPrivate();
    QObject::disconnect(drawing);
    setRunStage(tr("Stopping the local client"));
    releaseLocalClient(result);
    setRunStage(QString());
    emit creatingBackupEnded(result);
}

void KeyMaster::releaseLocalClient(bool runSucceeded)
{
    stopSarvelinClient();
    if (!runSucceeded)
        handleScenarioEnding();
}

bool KeyMaster::backupStepFailed(const QString& message, const QString& details)
{
    if (!message.isEmpty())
        Notifier::getInstance()->showError(message, details);
    return false;
}

bool KeyMaster::copyInstalledKey(const QString& name, const char* logLine, const char* missingText, QString* error)
{
    // Links inside the installed system are followed inside "/mnt" only.
    const QString source = installedFilePath(kKeysFolder + name);
    const QString destination = kKeysFolder + name;
    if (source.isEmpty() || !(QFileInfo::exists(source) || QFileInfo(source).isSymLink())) {
        Notifier::getInstance()->showInfo(tr(missingText));
        return false;
    }
    // Listed before the copy: a half-written copy is removed at the end too.
    temporaryFiles.push_back(destination.toStdString());
    const QString failure = copyFileWithMode(source, destination, 0600);
    if (!failure.isEmpty()) {
        *error = tr("Can't copy file %1 to %2: %3").arg(source, destination, failure);
        return false;
    }
    qDebug().noquote() << logLine;
    return true;
}

bool KeyMaster::createBackupPrivate()
{
    // Every exit, success included, ends the scenario the same way: after
    // the step's error (if any) the copied files are deleted, then
    // everything the fstab model mounted is unmounted.
    ScopeGuard ending([this] {
        deleteTemporaryFiles();
        fstabModel.unmountAll();
    });
    qDebug().noquote() << "fstab count is" << fstabModel.rowCount();

    // 1. The disk may have been swapped since it was chosen from the list.
    const QString chosen = driveIdentity(selectedDrive);
    const QString now = readDriveIdentity(selectedDrive);
    if (now != chosen)
        return backupStepFailed(
            tr("The disk %1 is not the one chosen. Backup canceled").arg(QStringLiteral("/dev/") + selectedDrive),
            tr("Chosen: ") + chosen + QLatin1Char('\n') + tr("Now: ") + now);

    // 2. Mount the marked file systems; as at inspection, the fstab's root
    // must be the partition inspected, not a clone of it on another disk.
    setRunStage(tr("Mounting the chosen file systems"));
    if (!fstabModel.mountAllNeedBackup())
        return backupStepFailed();
    processEventsOnce();
    struct stat mounted
    { };
    if (::stat(QFile::encodeName(kMountRoot).constData(), &mounted) != 0
        || static_cast<quint64>(mounted.st_dev) != inspectedRootDevice || inspectedRootDevice == 0)
        return backupStepFailed(tr("The installed fstab mounts another file system on %1 than the inspected root "
                                   "partition. Backup canceled")
                                    .arg(kMountRoot));

    // 3. The installed system's client configuration.
    if (!checkConfig())
        return backupStepFailed(tr("Config file doesn`t exist in selected directories"));

    // 4. The installed system's host name.
    setRunStage(tr("Copying the keys and the client settings"));
    if (!updateUsedHostname(hostname))
        return backupStepFailed(tr("Can't change hostname"));
    processEventsOnce();

    // 5. Its machine id.
    const QString machineIdError = takeOverMachineId();
    if (!machineIdError.isEmpty())
        return backupStepFailed(tr("Can't copy machine-id file. ") + machineIdError);

    // 6. Its client configuration, read. The reader takes any file it can
    // open and never fails; one that cannot be read would silently give the
    // defaults, so it ends the run.
    const QString installedConfig = installedFilePath(kClientConfigFile);
    {
        QByteArray probe;
        const QString error
            = installedConfig.isEmpty() ? tr("symbolic links loop") : readInstalledFile(installedConfig, &probe);
        if (!error.isEmpty())
            return backupStepFailed(tr("Can't read config file: ") + kMountRoot + kClientConfigFile, error);
    }
    SVcoreConfig config(installedConfig.toStdString());
    qDebug().noquote() << "Load client's config file to modify...";

    // 7. Its master key, or an empty one.
    const QString masterKeyError = takeOverMasterKey();
    if (!masterKeyError.isEmpty())
        return backupStepFailed(masterKeyError);

    // 8, 9. Its digital-signature keys; signing is off without them.
    const QString signatureKeyError = takeOverSignatureKeys(config);
    if (!signatureKeyError.isEmpty())
        return backupStepFailed(signatureKeyError);
    processEventsOnce();

    // 10-13. The rescue medium's client configuration.
    QString localDir;
    const QString configError = writeClientConfig(config, &localDir);
    if (!configError.isEmpty())
        return backupStepFailed(tr("Can't create config file: ") + kClientConfigFile, configError);

    // 14. The local backup folder, made in the background.
    qDebug().noquote() << "making local dir with command:" << QStringLiteral("mkdir -p ") + localDir;
    CommandRunner::current().startDetached(
        QStringLiteral("mkdir"), {QStringLiteral("-p"), localDir}, QStringLiteral("/"));

    // 15. The local client, started and checked.
    setRunStage(tr("Starting the local client"));
    if (!startSarvelinClientWithCheck()) {
        qWarning().noquote() << "sarvelin_client failed";
        return backupStepFailed();
    }

    // 16. The backup task, queued.
    setRunStage(tr("Queueing the backup task"));
    scenarioSleep(kBeforeArchivesMs);
    if (!startSvArchives()) {
        qWarning().noquote() << "sv_archives failed. Please check if the client password was set";
        return backupStepFailed();
    }

    // 17. The deduplication daemon, waited for.
    qDebug().noquote() << "Check SVFD is launched";
    if (!waitSvfd())
        return backupStepFailed();

    // 18. The task's final status.
    return didBackupEndFine();
}

QString KeyMaster::takeOverMachineId()
{
    const QString installedMachineId = installedFilePath(kMachineIdFile);
    if (installedMachineId.isEmpty() || !QFileInfo::exists(installedMachineId))
        return QString();
    QByteArray machineId;
    const QString error = readInstalledFile(installedMachineId, &machineId);
    if (!error.isEmpty())
        return tr("Can't read %1: %2").arg(installedMachineId, error);
    return replaceFileAtomically(kMachineIdFile, machineId, 0644);
}

QString KeyMaster::takeOverMasterKey()
{
    const QString installedMasterKey = installedFilePath(kMasterKeyFile);
    if (!installedMasterKey.isEmpty()
        && (QFileInfo::exists(installedMasterKey) || QFileInfo(installedMasterKey).isSymLink())) {
        temporaryFiles.push_back(kMasterKeyFile.toStdString());
        const QString error = copyFileWithMode(installedMasterKey, kMasterKeyFile, 0600);
        if (!error.isEmpty())
            return tr("Can't copy file %1 to %2: %3").arg(installedMasterKey, kMasterKeyFile, error);
        qDebug().noquote() << "Copy master key";
        return QString();
    }
    Notifier::getInstance()->showError(tr("Sarvelin master key doesn't exist in original system"),
        tr("Generate empty master key. Even you choose crypto algorithm, rescue image will be uncrypted"));
    setCrypto(m_cryptoAlgorithms.isEmpty() ? QStringLiteral("nocrypt") : m_cryptoAlgorithms.first());
    // The empty key stays after the run: it must not be removed as a copy
    // that an earlier run listed.
    const std::string key = kMasterKeyFile.toStdString();
    temporaryFiles.erase(std::remove(temporaryFiles.begin(), temporaryFiles.end(), key), temporaryFiles.end());
    const QString error = writeFileWithMode(kMasterKeyFile, QByteArray(kMasterKeySize, '\0'), 0600);
    return error.isEmpty() ? QString() : tr("Can't create file %1: %2").arg(kMasterKeyFile, error);
}

QString KeyMaster::takeOverSignatureKeys(SVcoreConfig& config)
{
    static const struct
    {
        const QString* name;
        const char* copied;
        const char* missing;
    } signatureKeys[] = {
        {&kSecretKeyName, "Copy digital signature secret key",
            QT_TR_NOOP("Secret digital signature key doesn't exist in original system")},
        {&kPublicKeyName, "Copy digital signature public key",
            QT_TR_NOOP("Public digital signature key doesn't exist in original system")},
    };
    for (const auto& key : signatureKeys) {
        QString copyError;
        if (!copyInstalledKey(*key.name, key.copied, key.missing, &copyError)) {
            if (!copyError.isEmpty())
                return copyError;
            config.set_digital_sign(false);
        }
    }
    return QString();
}

QString KeyMaster::writeClientConfig(SVcoreConfig& config, QString* localDir)
{
    config.set_client_inet_interface(networkInterface.toStdString());
    config.set_local_backup_dir_flag(false);

    *localDir = QString::fromStdString(config.get_local_backup_directory());
    if (localDir->isEmpty())
        *localDir = kDefaultLocalBackupDir;
    qDebug().noquote() << "local backup dir" << *localDir;

    const bool signing = config.is_digital_sign();
    QString text;
    QTextStream lines(&text);
    lines << "node client\n";
    lines << "who-is-primary-server " << QString::fromStdString(config.get_primary_server()) << '\n';
    const QString secondary = QString::fromStdString(config.get_secondary_server());
    if (!secondary.isEmpty())
        lines << "who-is-secondary-server " << secondary << '\n';
    lines << "logfile " << kClientLogFile << '\n';
    lines << "client-inet-interface " << QString::fromStdString(config.get_client_inet_interface()) << '\n';
    lines << "use-local-backup-directory " << *localDir << '\n';
    lines << "parallelizm 8\n";
    lines << "svd_algorithm " << QString::fromStdString(config.get_SVD_hash_algorithm()) << '\n';
    lines << "svd_block_size " << config.get_SVD_block_size() << '\n';
    lines << "svd_hash_length " << config.get_SVD_hash_length() << '\n';
    lines << "digital-signature " << (signing ? "yes" : "no") << '\n';
    if (signing)
        lines << "digital-sign-hash " << QString::fromStdString(config.get_digital_sign_hash()) << '\n';
    lines << "client-shutdown_scenario cancel-if-tasks\n";
    lines.flush();
    const QString writeError = writeFileWithMode(kClientConfigFile, text.toUtf8(), 0600);
    if (!writeError.isEmpty())
        return writeError;
    qDebug().noquote() << "Config file was modified";

    QFile written(kClientConfigFile);
    if (written.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << "NEW CONFIG FILE is:";
        for (const QString& line : QString::fromUtf8(written.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            qDebug().noquote() << line;
    }
    return QString();
}

bool KeyMaster::startSvArchives()
{
    // Disk and cipher are passed as arguments of their own, never through a
    // shell; the logged line shows the call as a command.
    const QStringList arguments = {QStringLiteral("-c"), QStringLiteral("/dev/") + selectedDrive, QStringLiteral("-m"),
        QStringLiteral("rescue_image"), QStringLiteral("-a"), crypto};
    qDebug().noquote() << "start sv_archives with"
                       << (QStringList(kArchivesProgram) + arguments).join(QLatin1Char(' '));

    const int exitCode = runProgram(kArchivesProgram, arguments, nullptr, kChildTimeoutMs, kArchivesLogFile);
    if (exitCode < 0)
        return false;

    QFile log(kArchivesLogFile);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << kArchivesLogFile << "is not opened, startSvArchives will return false";
        return false;
    }
    const QString output = QString::fromLocal8Bit(log.readAll());
    log.close();

    if (exitCode != 0) {
        Notifier::getInstance()->showError(tr("Can't start a backup, sv_archives has problems"), output);
        stopSarvelinClient();
        deleteTemporaryFiles();
        return false;
    }
    qDebug().noquote() << "sv_archives output is:";
    for (const QString& line : output.split(QLatin1Char('\n')))
        qDebug().noquote() << line;
    if (!output.contains(QLatin1String(sv_protocol::taskAdded))) {
        Notifier::getInstance()->showError(tr("Wrong response from server. See log and journal for more info"), output);
        return false;
    }
    qDebug().noquote() << "sv_archives was launched successfully. Backup was started";
    return true;
}

int KeyMaster::findSvfd()
{
    const int code
        = runProgram(QStringLiteral("pgrep"), {QStringLiteral("svfd"), QStringLiteral("-c")}, nullptr, kChildTimeoutMs);
    switch (code) {
    case 0:
        qDebug().noquote() << "Svfd works";
        break;
    case 1:
        qDebug().noquote() << "No svfd process";
        break;
    case 2:
        qDebug().noquote() << "Syntax error in command that finds svfd";
        break;
    case 3:
        qDebug().noquote() << "Got fatal error while looking for svfd";
        break;
    default:
        qDebug().noquote() << "Svfd finder returned strange value:" << code;
        break;
    }
    return code;
}

bool KeyMaster::waitSvfd()
{
    setRunStage(tr("Waiting for the deduplication daemon to start"));
    qDebug().noquote() << "Check that svfd started";
    processEventsOnce();
    if (!scenarioSleep(kSvfdStartMs))
        return false;
    const int first = findSvfd();
    processEventsOnce();
    if (first != 0) {
        qDebug().noquote() << "The process coundnt be continued without svfd, end of process";
        return false;
    }
    for (int pass = 1;; ++pass) {
        setRunStage(tr("Waiting for the deduplication daemon to finish, pass %1").arg(pass));
        if (!scenarioSleep(kSvfdPassMs)) {
            qInfo().noquote() << "Waiting for svfd abandoned: the tool is being left";
            return false;
        }
        const int code = findSvfd();
        if (code == 0) {
            qDebug().noquote() << "Wait please..." << pass;
            processEventsOnce();
            continue;
        }
        if (code == 1) {
            qDebug().noquote() << "Svfd finished its work";
            return true;
        }
        qDebug().noquote() << "Svfd breaks";
        return false;
    }
}

bool KeyMaster::didBackupEndFine()
{
    setRunStage(tr("Waiting for the task status"));
    messageQueuesClose();
    if (!messageQueuesConnect())
        return false;
    qDebug().noquote() << "connected to client";

    for (int poll = 0; poll < kStatusPolls; ++poll) {
        qDebug().noquote() << QCoreApplication::translate("QObject", "wait finish state of task");
        const unsigned int code = getTaskStatus(sv_protocol::askBackupStatus);
        qDebug().noquote() << "wait finish state" << code;
        const QString text = QString::fromStdString(taskStatusText(code));
        if (isFinalBadTaskStatus(code) || isFinalGoodTaskStatus(code)) {
            const bool good = isFinalGoodTaskStatus(code);
            qDebug().noquote() << (good ? "Got fine status of task:" : "Got bad status of task:") << text;
            processEventsOnce();
            messageQueuesClose();
            return good;
        }
        setRunStage(text.isEmpty() ? tr("Waiting for the task status, last code %1").arg(code)
                                   : tr("Waiting for the task status: %1").arg(tr(text.toUtf8().constData())));
        if (!scenarioSleep(kStatusPollMs)) {
            qInfo().noquote() << "Backup status polling abandoned: the tool is being left";
            messageQueuesClose();
            return false;
        }
    }
    qDebug().noquote() << "Can`t get one of supported statuses of task";
    messageQueuesClose();
    return false;
}
