// Inspection of the installed system: the device tree of the chosen disk and
// the validation of the partition the operator picks as the installed
// system's root (host name, OS name, fstab, client configuration).

#include "keymaster.h"

#include "devicestree.h"
#include "devicetreeitem.h"
#include "notifier.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kMountRoot = QStringLiteral("/mnt");
const QString kHostnameFile = QStringLiteral("/etc/hostname");
const QString kOsReleaseFile = QStringLiteral("/etc/os-release");
const QString kFstabFile = QStringLiteral("/etc/fstab");
const QString kClientConfigFile = QStringLiteral("/opt/sarvelin/etc/config.file");

// Symbolic links followed at most while resolving one path (as the kernel).
constexpr int kMaxLinks = 40;

QString readLinkTarget(const QString& path)
{
    const QByteArray local = path.toLocal8Bit();
    QByteArray buffer(4096, '\0');
    const ssize_t length = ::readlink(local.constData(), buffer.data(), buffer.size());
    if (length < 0 || length >= buffer.size())
        return QString();
    buffer.truncate(static_cast<int>(length));
    return QString::fromLocal8Bit(buffer);
}

bool isSymLink(const QString& path)
{
    struct stat st;
    return ::lstat(path.toLocal8Bit().constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

QString KeyMaster::installedFilePath(const QString& path)
{
    // Walk the components of path below root, following every symbolic link
    // with its target taken inside root: an absolute target starts again at
    // root, a relative one from the link's own folder, ".." stops at root.
    QStringList pending = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList resolved;
    int links = 0;
    while (!pending.isEmpty()) {
        const QString component = pending.takeFirst();
        if (component == QLatin1String("."))
            continue;
        if (component == QLatin1String("..")) {
            if (!resolved.isEmpty())
                resolved.removeLast();
            continue;
        }
        const QString candidate = kMountRoot + QLatin1Char('/') + (resolved + QStringList(component)).join('/');
        if (!isSymLink(candidate)) {
            resolved.append(component);
            continue;
        }
        if (++links > kMaxLinks)
            return QString();
        const QString target = readLinkTarget(candidate);
        if (target.isEmpty())
            return QString();
        if (target.startsWith(QLatin1Char('/')))
            resolved.clear();
        pending = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + pending;
    }
    return kMountRoot + QLatin1Char('/') + resolved.join('/');
}

// --- devices tree

void KeyMaster::loadDevicesTree(QString device)
{
    if (devicesTree) {
        qDebug() << "devices tree not empty";
        delete devicesTree;
        devicesTree = nullptr;
    } else {
        qDebug() << "devices trre empty";
    }
    devicesTree = new DevicesTree(device);
    emit devicesTreeChanged();
}

// --- validation of the chosen root partition

bool KeyMaster::handleSelectedDevicePartition(QModelIndex index)
{
    Notifier* notifier = Notifier::getInstance();

    if (!devicesTree) {
        qWarning() << "devicesTree is empty";
        return false;
    }
    // An index of an earlier tree (already deleted) must not be followed.
    if (index.isValid() && index.model() != devicesTree) {
        qWarning() << "index does not belong to the current devices tree";
        notifier->showWarning(tr("Chosen not a logical drive, choose another device"));
        return false;
    }

    if (devicesTree->getType(index) != DeviceTreeItem::ChildType) {
        notifier->showWarning(tr("Chosen not a logical drive, choose another device"));
        return false;
    }

    const QString name = devicesTree->getName(index);
    const QString fstype = devicesTree->getFstype(index);
    const QString label = devicesTree->getLabel(index);
    const QString uuid = devicesTree->getUuid(index);
    const QString mountpoint = devicesTree->getMountpoint(index);
    qDebug() << "Chosen row:" << name << fstype << label << uuid << mountpoint;

    if (uuid.isEmpty()) {
        notifier->showWarning(tr("Uuid of device is empty!"));
        return false;
    }

    const QString path = getDevicePath(uuid);
    if (path.isEmpty()) {
        notifier->showWarning(tr("Path to device is empty!"));
        return false;
    }
    qDebug() << "Chosen device: " + path;

    static const QStringList supported = {QStringLiteral("ext2"), QStringLiteral("ext3"), QStringLiteral("ext4"),
                                          QStringLiteral("xfs"), QStringLiteral("vfat")};
    if (!supported.contains(fstype, Qt::CaseSensitive)) {
        notifier->showWarning(tr("Fstype ") + fstype + tr(" doesnt supported"));
        return false;
    }

    if (!mountpoint.isEmpty()) {
        notifier->showInfo(tr("Device ") + path + tr(" is mounted. It will be unmounted amd mounted again to ")
                           + kMountRoot);
        fstabModel.unmountDevice(path);
    }

    if (!fstabModel.mountDevice(path, kMountRoot, true))
        return false;

    // Leaves nothing mounted that this inspection mounted: the partition
    // first, then whatever else is still recorded (an unmount that failed).
    auto releasePartition = [this, &path]() {
        fstabModel.unmountDevice(path);
        if (!fstabModel.getMountedDevices().isEmpty())
            fstabModel.unmountAll();
    };

    if (!checkHostname() || !checkOs()) {
        releasePartition();
        setHostname(QString());
        setOs(QString());
        notifier->showWarning(tr("Device ") + path
                              + tr(" doesn't look like a root device. You need to select the root partition"));
        return false;
    }
    qDebug() << "Device " + path + " looks like a root device";

    if (!loadFSTAB()) {
        releasePartition();
        setHostname(QString());
        setOs(QString());
        notifier->showWarning(tr("Fstab couldn`t be loaded for ") + path);
        return false;
    }

    // Mount every file system of the installed system, so that the check
    // below also sees files on separate file systems (a separate /opt).
    fstabModel.unmountDevice(path);
    if (!fstabModel.mountAll()) {
        setHostname(QString());
        setOs(QString());
        fstabModel.unmountAll();
        return false;
    }

    if (!checkConfig()) {
        notifier->showError(tr("Sarvelin client didn't find here: ") + path,
                            QStringLiteral("You MUST install Sarvelin client and authorize it before making an "
                                           "resque backup. "));
        setHostname(QString());
        setOs(QString());
        fstabModel.unmountAll();
        return false;
    }

    qDebug() << "Found config file";
    return fstabModel.unmountAll();
}

bool KeyMaster::checkHostname()
{
    const QString path = kMountRoot + kHostnameFile;
    const QString file = installedFilePath(kHostnameFile);
    if (file.isEmpty() || !QFile::exists(file)) {
        qWarning() << path + " doesnt exist";
        return false;
    }

    QFile hostnameFile(file);
    if (!hostnameFile.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Can't open " + path;
        return false;
    }

    QTextStream stream(&hostnameFile);
    QString line;
    if (!stream.readLineInto(&line)) {
        qWarning() << path + " is empty ";
        return false;
    }

    setHostname(line);
    qDebug() << "hostname is" << hostname;
    return true;
}

bool KeyMaster::checkOs()
{
    const QString path = kMountRoot + kOsReleaseFile;
    if (!QFileInfo::exists(path) && !isSymLink(path)) {
        qWarning() << path + " doesnt exist";
        return false;
    }

    // A symbolic link (usually to /usr/lib/os-release) is followed inside
    // "/mnt", never into the rescue system's own files.
    QString file = path;
    if (isSymLink(path)) {
        file = installedFilePath(kOsReleaseFile);
        qDebug() << path << "is a symbolic link to" << file;
    }

    QFile osRelease(file);
    if (file.isEmpty() || !osRelease.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Can't open " + file;
        return false;
    }

    const QString key = QStringLiteral("PRETTY_NAME=");
    QString value;
    QTextStream stream(&osRelease);
    QString line;
    while (stream.readLineInto(&line)) {
        if (line.startsWith(key)) {
            value = line.mid(key.size());
            value.remove(QLatin1Char('"'));
            break;
        }
    }

    if (value.isEmpty()) {
        qWarning() << "Not found any OS value in " + path;
        return false;
    }

    setOs(value);
    qDebug() << "OS is" << os;
    return true;
}

bool KeyMaster::checkConfig()
{
    const QString path = kMountRoot + kClientConfigFile;
    qDebug() << "Check if configfile exists:" << path;
    const QString file = installedFilePath(kClientConfigFile);
    return !file.isEmpty() && QFile::exists(file);
}

bool KeyMaster::loadFSTAB()
{
    QString file = installedFilePath(kFstabFile);
    if (file.isEmpty())
        file = kMountRoot + kFstabFile;
    const bool filled = fstabModel.fill(file);
    if (filled)
        emit fstabModelChanged();
    qDebug() << "fstabmodel contains" << fstabModel.rowCount() << "rows and" << fstabModel.columnCount()
             << "columns";
    return filled;
}

bool KeyMaster::updateUsedHostname(QString name)
{
    // A host name never begins with "-"; such a text would be read as an option.
    if (name.startsWith(QLatin1Char('-'))) {
        qWarning() << "Refused host name" << name;
        return false;
    }
    const std::string command =
        "/usr/bin/hostnamectl set-hostname " + sv_key_common::shell_quote(name.toStdString());
    std::string output;
    const int result = sv_key_common::execute_command(command, &output);
    if (result != 0)
        qWarning() << "hostnamectl failed:" << QString::fromStdString(output);
    return result == 0;
}
