// Controller core: construction, the start-up checks, the lists offered to the
// pages, device lookup by UUID, the clean-up at the end of a scenario and the
// exit handler.

#include "keymaster.h"

#include "notifier.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QNetworkInterface>
#include <QQmlEngine>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const char* const kOsReleaseCommand =
    "/bin/cat /etc/os-release | /bin/grep PRETTY_NAME | /bin/sed -e 's/[=\"]/ /g' -e 's/PRETTY_NAME  //'";
const char* const kDrivesCommand = "/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'";
const char* const kRescueMediumName = "Sarvelin key";
const char* const kClientConfigFile = "/opt/sarvelin/etc/config.file";
const char* const kDefaultCryptKeyDir = "/opt/sarvelin/keys";

// Removes one file; an absent file is not an error. Any other failure is
// logged and the caller goes on: a scenario end must never abort the tool.
void removeFileIfPresent(const std::string& path)
{
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return;
    const int err = errno;
    qWarning() << "Can't delete file" << QString::fromStdString(path) << ":" << std::strerror(err);
}

} // namespace

KeyMaster::KeyMaster(QObject* parent)
    : QObject(parent)
{
    // >>> create the master-key handler and the recovery-plan manager here, each
    //     with this controller as parent

    // The models reach QML through QAbstractItemModel* properties and slots;
    // QML must neither lose them (an unknown type reads as undefined) nor own
    // them (its garbage collector would delete the member models).
    qRegisterMetaType<QAbstractItemModel*>("QAbstractItemModel*");
    keepCppOwnership(&fstabModel);
    keepCppOwnership(&resqueArchivesModel);
    keepCppOwnership(m_drpManager);
    keepCppOwnership(m_drpManager->getDrpModel());
    keepCppOwnership(m_drpManager->getDrpArchiveModel());

    cmdPort = 9991;
    mediaPort = 9993;
    clientStartedHere = false;
    serverConnected = false;

    loadInterfaces();

    m_cryptoAlgorithms = QStringList{
        "nocrypt", "anubis", "aria", "cast6", "camellia", "kalyna", "kuznyechik", "mars",
        "rijndael", "serpent", "simon", "sm4", "speck", "threefish", "twofish"};
}

KeyMaster::~KeyMaster()
{
    delete devicesTree;
    devicesTree = nullptr;
}

void KeyMaster::keepCppOwnership(QObject* object)
{
    if (object)
        QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
}

// --- property setters: store and emit only when the value changes

void KeyMaster::setOs(const QString& value)
{
    if (os == value)
        return;
    os = value;
    emit osChanged();
}

void KeyMaster::setHostname(const QString& value)
{
    if (hostname == value)
        return;
    hostname = value;
    emit hostnameChanged();
}

void KeyMaster::setNetworkInterface(const QString& value)
{
    if (networkInterface == value)
        return;
    networkInterface = value;
    emit networkInterfaceChanged();
}

void KeyMaster::setCrypto(const QString& value)
{
    if (crypto == value)
        return;
    crypto = value;
    emit cryptoChanged();
}

void KeyMaster::setSelectedDrive(const QString& value)
{
    if (selectedDrive == value)
        return;
    selectedDrive = value;
    emit selectedDriveChanged();
}

void KeyMaster::setCmdPort(unsigned int value)
{
    if (cmdPort == value)
        return;
    cmdPort = value;
    emit cmdPortChanged();
}

void KeyMaster::setMediaPort(unsigned int value)
{
    if (mediaPort == value)
        return;
    mediaPort = value;
    emit mediaPortChanged();
}

void KeyMaster::setSarvelinServerIp(const QString& value)
{
    if (sarvelinServerIp == value)
        return;
    sarvelinServerIp = value;
    emit sarvelinServerIpChanged();
}

void KeyMaster::setRecoveringClient(const QString& value)
{
    if (recoveringClient == value)
        return;
    recoveringClient = value;
    emit recoveringClientChanged();
}

void KeyMaster::setServerConnected(bool value)
{
    if (serverConnected == value)
        return;
    serverConnected = value;
    emit serverConnectedChanged();
}

// --- start-up checks

void KeyMaster::init()
{
    checkClient();
    loadDrives();
}

void KeyMaster::checkClient()
{
    const std::string command = kOsReleaseCommand;
    std::string output;
    if (sv_key_common::execute_command(command, &output) != 0) {
        Notifier::getInstance()->showError(tr("Can't execute: ") + QString::fromStdString(command), "");
        return;
    }

    QString prettyName = QString::fromStdString(output);
    prettyName.remove('\n');
    prettyName = prettyName.simplified();
    if (prettyName == QLatin1String(kRescueMediumName))
        return;

    Notifier::getInstance()->showWarning(tr("You can run this application on Sarvelin key only"), "");
}

void KeyMaster::loadDrives()
{
    const std::string command = kDrivesCommand;
    std::string output;
    if (sv_key_common::execute_command(command, &output) != 0) {
        Notifier::getInstance()->showWarning(tr("Can't execute: ") + QString::fromStdString(command), "");
        return;
    }

    m_drives.clear();
    const QStringList lines = QString::fromStdString(output).split('\n');
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1String("zram"), Qt::CaseSensitive))
            continue;
        m_drives.append(line);
    }
}

void KeyMaster::loadInterfaces()
{
    m_interfaces.clear();
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : all)
        m_interfaces.append(iface.name());
}

QString KeyMaster::defaultCryptKeyDir() const
{
    return QString::fromLatin1(kDefaultCryptKeyDir);
}

// --- device lookup

QString KeyMaster::getDevicePath(QString uuid)
{
    const std::string command = "/sbin/blkid --uuid " + sv_key_common::shell_quote(uuid.toStdString());
    std::string output;
    if (sv_key_common::execute_command(command, &output) != 0)
        return QString();

    QString path = QString::fromStdString(output);
    path.remove('\n');
    return path;
}

// --- clean-up

void KeyMaster::deleteTemporaryFiles()
{
    for (const std::string& path : temporaryFiles)
        removeFileIfPresent(path);
}

void KeyMaster::handleScenarioEnding()
{
    deleteTemporaryFiles();
    removeFileIfPresent(kClientConfigFile);
}

void KeyMaster::exitHandler()
{
    // Unmount everything the fstab model mounted.
    fstabModel.unmountAll();
}
