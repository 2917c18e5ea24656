// Inspection of the installed system: the device tree of the chosen disk and
// the validation of the partition the operator picks as the installed
// system's root (host name, OS name, fstab, client configuration).

#include "keymaster.h"
#include "sv_paths.h"

#include "devicestree.h"
#include "devicetreeitem.h"
#include "notifier.h"
#include "scope_guard.h"
#include "sv_key_common.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <QTextStream>

#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString kMountRoot = QString::fromLatin1(sv_paths::mountRoot);
const QString kHostnameFile = QStringLiteral("/etc/hostname");
const QString kOsReleaseFile = QStringLiteral("/etc/os-release");
const QString kFstabFile = QStringLiteral("/etc/fstab");
const QString kClientConfigFile = QString::fromLatin1(sv_paths::clientConfigFile);

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

// Device number of the block device at path, 0 when path is no block device.
dev_t blockDeviceNumber(const QString& path)
{
    struct stat st;
    if (::stat(path.toLocal8Bit().constData(), &st) != 0 || !S_ISBLK(st.st_mode))
        return 0;
    return st.st_rdev;
}

QString deviceNumberText(dev_t number)
{
    return QStringLiteral("%1:%2").arg(major(number)).arg(minor(number));
}

// The block device of a device-tree row: lsblk names partitions after their
// node in /dev and mapped volumes after their node in /dev/mapper.
QString rowDevicePath(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return QString();
    for (const QString& folder : {QStringLiteral("/dev/"), QStringLiteral("/dev/mapper/")}) {
        if (blockDeviceNumber(folder + name) != 0)
            return folder + name;
    }
    return QString();
}

// Every block device whose file system carries uuid, as blkid finds them by
// probing (not from its cache), one per device number.
QMap<dev_t, QString> devicesWithUuid(const QString& uuid)
{
    const std::string command
        = "/sbin/blkid -c /dev/null -o device -t " + sv_key_common::shell_quote("UUID=" + uuid.toStdString());
    std::string output;
    QMap<dev_t, QString> devices;
    if (sv_key_common::execute_command(command, &output) != 0)
        return devices;
    const QStringList lines = QString::fromStdString(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QString device = line.trimmed();
        const dev_t number = blockDeviceNumber(device);
        if (number != 0 && !devices.contains(number))
            devices.insert(number, device);
    }
    return devices;
}

// The source that /proc/self/mountinfo gives for the file system with the
// device number `number` mounted on mountPoint, or its major:minor.
QString mountedSourceName(const QString& mountPoint, dev_t number)
{
    QFile mountInfo(QString::fromLatin1(sv_paths::mountInfoFile));
    QString source;
    if (mountInfo.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = mountInfo.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.split(' ');
            const int dash = fields.indexOf("-");
            if (fields.size() < 10 || dash < 6 || dash + 2 >= fields.size())
                continue;
            if (fields.at(2) == deviceNumberText(number).toLatin1() && fields.at(4) == mountPoint.toLocal8Bit())
                source = QString::fromLocal8Bit(fields.at(dash + 2));
        }
    }
    return source.isEmpty() ? deviceNumberText(number)
                            : source + QStringLiteral(" (") + deviceNumberText(number) + QLatin1Char(')');
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
    OperationScope operation(*this, Operation::Inspecting, "loadDevicesTree");
    if (!operation.granted())
        return;
    if (devicesTree) {
        qDebug() << "devices tree not empty";
        delete devicesTree;
        devicesTree = nullptr;
    } else {
        qDebug() << "devices trre empty";
    }
    devicesTree = new DevicesTree(device);
    keepCppOwnership(devicesTree);
    emit devicesTreeChanged();
}

// --- validation of the chosen root partition

struct KeyMaster::ChosenPartition
{
    QString path;
    dev_t number = 0;
    QString fstype;
    QString mountpoint;
};

bool KeyMaster::resolveChosenPartition(const QModelIndex& index, ChosenPartition* chosen)
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

    inspectedRootDevice = 0;
    if (devicesTree->getType(index) != DeviceTreeItem::ChildType) {
        notifier->showWarning(tr("Chosen not a logical drive, choose another device"));
        return false;
    }

    const QString name = devicesTree->getName(index);
    chosen->fstype = devicesTree->getFstype(index);
    const QString label = devicesTree->getLabel(index);
    const QString uuid = devicesTree->getUuid(index);
    chosen->mountpoint = devicesTree->getMountpoint(index);
    qDebug() << "Chosen row:" << name << chosen->fstype << label << uuid << chosen->mountpoint;

    if (uuid.isEmpty()) {
        notifier->showWarning(tr("Uuid of device is empty!"));
        return false;
    }

    // The clicked row's own device. Cloned disks carry the same UUID, so the
    // UUID only confirms the row: it must belong to this device, and any
    // other device carrying it is named to the operator and left alone.
    chosen->path = rowDevicePath(name);
    chosen->number = chosen->path.isEmpty() ? 0 : blockDeviceNumber(chosen->path);
    QMap<dev_t, QString> sameUuid = devicesWithUuid(uuid);
    if (chosen->number == 0 || !sameUuid.contains(chosen->number)) {
        qWarning() << "No device" << chosen->path << "with UUID" << uuid;
        notifier->showWarning(tr("Path to device is empty!"));
        return false;
    }
    qDebug() << "Chosen device: " + chosen->path;
    sameUuid.remove(chosen->number);
    if (!sameUuid.isEmpty()) {
        const QStringList others = sameUuid.values();
        notifier->showWarning(tr("UUID ") + uuid + tr(" of the chosen device ") + chosen->path + tr(" also belongs to ")
            + others.join(QStringLiteral(", ")) + tr(". Only the chosen device is used"));
    }
    return true;
}

bool KeyMaster::handleSelectedDevicePartition(QModelIndex index)
{
    OperationScope operation(*this, Operation::Inspecting, "handleSelectedDevicePartition");
    if (!operation.granted())
        return false;
    Notifier* notifier = Notifier::getInstance();

    // 1. The clicked row: a partition of the current tree with its own device.
    ChosenPartition chosen;
    if (!resolveChosenPartition(index, &chosen))
        return false;
    const QString& path = chosen.path;

    // 2. A file system the backup can take.
    static const QStringList supported = {QStringLiteral("ext2"), QStringLiteral("ext3"), QStringLiteral("ext4"),
        QStringLiteral("xfs"), QStringLiteral("vfat")};
    if (!supported.contains(chosen.fstype, Qt::CaseSensitive)) {
        notifier->showWarning(tr("Fstype ") + chosen.fstype + tr(" doesnt supported"));
        return false;
    }

    // 3. The partition alone on "/mnt", moved there if it is mounted elsewhere.
    if (!chosen.mountpoint.isEmpty()) {
        notifier->showInfo(
            tr("Device ") + path + tr(" is mounted. It will be unmounted amd mounted again to ") + kMountRoot);
        fstabModel.unmountDevice(path);
    }
    if (!fstabModel.mountDevice(path, kMountRoot, true))
        return false;

    // A refused partition leaves nothing behind: what this inspection
    // mounted is unmounted (the partition first, then whatever is still
    // recorded; once the whole fstab is mounted, all of it), then the host
    // name and system name read from it are forgotten. Each refusal below
    // undoes this first, then tells the operator why.
    bool fstabMounted = false;
    ScopeGuard refusal([this, &path, &fstabMounted] {
        if (!fstabMounted)
            fstabModel.unmountDevice(path);
        if (fstabMounted || !fstabModel.getMountedDevices().isEmpty())
            fstabModel.unmountAll();
        setHostname(QString());
        setOs(QString());
    });
    const auto refuse = [&refusal](const std::function<void()>& tell) {
        refusal.runNow();
        if (tell)
            tell();
        return false;
    };

    // 4. The installed system's host name and system name.
    if (!checkHostname() || !checkOs())
        return refuse([&] {
            notifier->showWarning(
                tr("Device ") + path + tr(" doesn't look like a root device. You need to select the root partition"));
        });
    qDebug() << "Device " + path + " looks like a root device";

    // 5. Its fstab, into the fstab model.
    if (!loadFSTAB())
        return refuse([&] { notifier->showWarning(tr("Fstab couldn`t be loaded for ") + path); });

    // 6. Every file system of its fstab mounted, so that the check below also
    // sees files on separate file systems (a separate /opt).
    fstabModel.unmountDevice(path);
    fstabMounted = true;
    if (!fstabModel.mountAll())
        return refuse(nullptr);

    // 7. The fstab names the root by its own UUID=, LABEL= or device: what it
    // mounted on "/mnt" must be the chosen partition, not another disk.
    struct stat mounted
    { };
    if (::stat(kMountRoot.toLocal8Bit().constData(), &mounted) != 0 || mounted.st_dev != chosen.number) {
        const QString other = mountedSourceName(kMountRoot, mounted.st_dev);
        return refuse([&] {
            notifier->showError(tr("The installed fstab mounts ") + other + tr(" on ") + kMountRoot
                + tr(" instead of the chosen device ") + path + QStringLiteral(" (") + deviceNumberText(chosen.number)
                + QLatin1Char(')'));
        });
    }

    // 8. The backup client's configuration.
    if (!checkConfig())
        return refuse([&] {
            notifier->showError(tr("Sarvelin client didn't find here: ") + path,
                QStringLiteral("You MUST install Sarvelin client and authorize it before making an "
                               "resque backup. "));
        });

    // 9. Accepted: the identity stays, the file systems are unmounted; the
    // backup run mounts the fstab again and checks it is this partition.
    refusal.dismiss();
    qDebug() << "Found config file";
    inspectedRootDevice = static_cast<quint64>(chosen.number);
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
    qDebug() << "fstabmodel contains" << fstabModel.rowCount() << "rows and" << fstabModel.columnCount() << "columns";
    return filled;
}

bool KeyMaster::updateUsedHostname(QString name)
{
    // A host name never begins with "-"; such a text would be read as an option.
    if (name.startsWith(QLatin1Char('-'))) {
        qWarning() << "Refused host name" << name;
        return false;
    }
    const std::string command = "/usr/bin/hostnamectl set-hostname " + sv_key_common::shell_quote(name.toStdString());
    CommandResult result;
    const int status = sv_key_common::execute_command(command, nullptr, &result);
    if (status != 0)
        qWarning() << "hostnamectl failed:" << explainFailure(result).details;
    return status == 0;
}
