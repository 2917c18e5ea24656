// Controller core: construction, the start-up checks, the lists offered to the
// pages, device lookup by UUID, the clean-up at the end of a scenario and the
// exit handler.

#include "keymaster.h"
#include "link_thread.h"
#include "medium_disk.h"
#include "sv_paths.h"

#include "notifier.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QFile>
#include <QLocale>
#include <QNetworkInterface>
#include <QQmlEngine>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const char* const kOsReleaseCommand
    = "/bin/cat /etc/os-release | /bin/grep PRETTY_NAME | /bin/sed -e 's/[=\"]/ /g' -e 's/PRETTY_NAME  //'";
const char* const kDrivesCommand = "/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'";
const char* const kRescueMediumName = "Sarvelin key";
const char* const kClientConfigFile = sv_paths::clientConfigFile;
const char* const kDefaultCryptKeyDir = sv_paths::keysFolder;
const char* const kLsblkProgram = "/bin/lsblk";
constexpr int kLsblkTimeoutMs = 10000;

// One line of `lsblk -P`: KEY="value" pairs, with characters the tool escapes
// written as \xHH.
QMap<QString, QString> parseLsblkPairs(const QString& line)
{
    QMap<QString, QString> pairs;
    int i = 0;
    while (i < line.size()) {
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        const int equals = line.indexOf(QLatin1String("=\""), i);
        if (equals < 0)
            break;
        const QString key = line.mid(i, equals - i);
        QByteArray value;
        int j = equals + 2;
        for (; j < line.size() && line.at(j) != QLatin1Char('"'); ++j) {
            if (line.at(j) == QLatin1Char('\\') && j + 3 < line.size() && line.at(j + 1) == QLatin1Char('x')) {
                bool ok = false;
                const int code = line.mid(j + 2, 2).toInt(&ok, 16);
                if (ok) {
                    value.append(static_cast<char>(code));
                    j += 3;
                    continue;
                }
            }
            value.append(line.mid(j, 1).toUtf8());
        }
        pairs.insert(key, QString::fromUtf8(value).trimmed());
        i = j + 1;
    }
    return pairs;
}

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
    : KeyMaster(realDaemonLink(), parent)
{ }

KeyMaster::KeyMaster(std::unique_ptr<DaemonLink> link, QObject* parent)
    : QObject(parent)
    , m_linkThread(std::make_unique<LinkThread>(std::move(link)))
{
    // The member models, the master-key handler and the recovery-plan
    // manager (both with this controller as parent) are made by their
    // member initialisers, in declaration order.

    // The models reach QML through QAbstractItemModel* properties and slots;
    // QML must neither lose them (an unknown type reads as undefined) nor own
    // them (its garbage collector would delete the member models).
    qRegisterMetaType<QAbstractItemModel*>("QAbstractItemModel*");
    keepCppOwnership(&fstabModel);
    keepCppOwnership(&resqueArchivesModel);
    keepCppOwnership(m_drpManager);
    keepCppOwnership(m_drpManager->getDrpModel());
    keepCppOwnership(m_drpManager->getDrpArchiveModel());
    keepCppOwnership(m_cryptKeyHandler);

    cmdPort = 9991;
    mediaPort = 9993;
    clientStartedHere = false;
    serverConnected = false;

    loadInterfaces();

    m_cryptoAlgorithms = QStringList {"nocrypt", "anubis", "aria", "cast6", "camellia", "kalyna", "kuznyechik", "mars",
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

void KeyMaster::setRunStage(const QString& text)
{
    if (m_runStage == text)
        return;
    m_runStage = text;
    emit runStageChanged();
}

// --- start-up checks

void KeyMaster::init()
{
    OperationScope operation(*this, Operation::Starting, "init");
    if (!operation.granted())
        return;
    checkClient();
    loadDrives();
}

void KeyMaster::checkClient()
{
    const std::string command = kOsReleaseCommand;
    std::string output;
    CommandResult result;
    if (sv_key_common::execute_command(command, &output, &result) != 0) {
        const CommandFailure failure = explainFailure(result, tr("Can't execute: ") + QString::fromStdString(command));
        Notifier::getInstance()->showError(failure.message, failure.details);
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
    CommandResult result;
    if (sv_key_common::execute_command(command, &output, &result) != 0) {
        const CommandFailure failure = explainFailure(result, tr("Can't execute: ") + QString::fromStdString(command));
        Notifier::getInstance()->showWarning(failure.message, failure.details);
        return;
    }

    m_drives.clear();
    const QStringList lines = QString::fromStdString(output).split('\n');
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1String("zram"), Qt::CaseSensitive))
            continue;
        m_drives.append(line);
    }
    m_drives = MediumDisk::without(m_drives);
    driveFacts = readDriveFacts(QString());
}

// --- disk identity

QMap<QString, KeyMaster::DriveFacts> KeyMaster::readDriveFacts(const QString& drive)
{
    QStringList arguments = {QStringLiteral("-d"), QStringLiteral("-b"), QStringLiteral("-n"), QStringLiteral("-P"),
        QStringLiteral("-o"), QStringLiteral("NAME,TYPE,SIZE,MODEL,SERIAL")};
    if (!drive.isEmpty())
        arguments << QStringLiteral("--") << QStringLiteral("/dev/") + drive;
    QString output;
    CommandResult result;
    QMap<QString, DriveFacts> facts;
    if (runProgram(QString::fromLatin1(kLsblkProgram), arguments, &output, kLsblkTimeoutMs, QString(), &result) != 0) {
        qWarning().noquote() << "Can't read the disks' model and serial:" << explainFailure(result).details.trimmed();
        return facts;
    }
    for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QMap<QString, QString> pairs = parseLsblkPairs(line);
        if (pairs.value(QStringLiteral("TYPE")) != QLatin1String("disk"))
            continue;
        DriveFacts one;
        one.size = pairs.value(QStringLiteral("SIZE")).toULongLong();
        one.model = pairs.value(QStringLiteral("MODEL"));
        one.serial = pairs.value(QStringLiteral("SERIAL"));
        facts.insert(pairs.value(QStringLiteral("NAME")), one);
    }
    return facts;
}

QString KeyMaster::describeDrive(const DriveFacts& facts)
{
    QStringList parts;
    if (facts.size > 0) {
        // Decimal units, as disk makers label their disks.
        static const char* const units[]
            = {QT_TR_NOOP("%1 B"), QT_TR_NOOP("%1 KB"), QT_TR_NOOP("%1 MB"), QT_TR_NOOP("%1 GB"), QT_TR_NOOP("%1 TB")};
        double value = static_cast<double>(facts.size);
        int unit = 0;
        while (value >= 1000.0 && unit < 4) {
            value /= 1000.0;
            ++unit;
        }
        const int decimals = (unit == 0 || value >= 100.0) ? 0 : 1;
        parts << tr(units[unit]).arg(QLocale().toString(value, 'f', decimals));
    }
    if (!facts.model.isEmpty())
        parts << facts.model;
    if (!facts.serial.isEmpty())
        parts << tr("serial %1").arg(facts.serial);
    return parts.join(QStringLiteral(", "));
}

QString KeyMaster::driveIdentity(const QString& drive) const
{
    const auto it = driveFacts.constFind(drive);
    return it == driveFacts.constEnd() ? QString() : describeDrive(*it);
}

QString KeyMaster::readDriveIdentity(const QString& drive)
{
    if (drive.isEmpty() || drive.startsWith(QLatin1Char('-')))
        return QString();
    const QMap<QString, DriveFacts> facts = readDriveFacts(drive);
    const auto it = facts.constFind(drive);
    return it == facts.constEnd() ? QString() : describeDrive(*it);
}

// --- waits and child processes of the scenarios

bool KeyMaster::scenarioSleep(int productionMilliseconds)
{
    return waitProcessingEvents(productionMilliseconds / qMax(1, scenarioTimeDivisor));
}

int KeyMaster::runProgram(const QString& program, const QStringList& arguments, QString* output,
    int timeoutMilliseconds, const QString& outputFile, CommandResult* result)
{
    // Not stoppable: leaving the tool lets a running command end (an unmount,
    // an LVM removal) instead of killing it half way.
    const CommandResult run = CommandRunner::current().run(program, arguments, timeoutMilliseconds, outputFile);
    if (output)
        output->append(run.output());
    if (result)
        *result = run;
    return run.outcome == CommandResult::Outcome::Finished ? run.exitCode : -1;
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
    // Deleted once: a later ending must not delete a file of the same name
    // that the operator has placed since (a master key for a restore).
    temporaryFiles.clear();
}

void KeyMaster::handleScenarioEnding()
{
    deleteTemporaryFiles();
    removeFileIfPresent(kClientConfigFile);
}
