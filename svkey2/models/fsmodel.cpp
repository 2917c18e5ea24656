#include "fsmodel.h"

#include "notifier.h"
#include "command_runner.h"
#include "sv_key_common.h"
#include "sv_paths.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <climits>
#include <cstdlib>

namespace {

const QString kMountRoot = QString::fromLatin1(sv_paths::mountRoot);

std::string quoted(const QString& value)
{
    return sv_key_common::shell_quote(value.toStdString());
}

// True when path names "/mnt" itself or something below it.
bool isBelowMountRoot(const QString& path)
{
    return path == kMountRoot || path.startsWith(kMountRoot + QLatin1Char('/'));
}

// A mount point taken from the installed system's fstab must stay below
// "/mnt": neither ".." components nor symbolic links inside the mounted
// installed system may lead the mount onto the rescue system's own folders.
bool mountPointStaysBelowRoot(const QString& mountPoint)
{
    if (!isBelowMountRoot(QDir::cleanPath(mountPoint)))
        return false;
    char resolved[PATH_MAX];
    if (::realpath(mountPoint.toLocal8Bit().constData(), resolved) == nullptr)
        return true; // no such folder: mount fails on its own, nothing is touched
    return isBelowMountRoot(QString::fromLocal8Bit(resolved));
}

// True when a line of df's answer ends with the mount point `folder`.
bool dfNamesMountPoint(const std::string& dfOutput, const QString& folder)
{
    const QStringList lines = QString::fromStdString(dfOutput).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line == folder || line.endsWith(QLatin1Char(' ') + folder))
            return true;
    }
    return false;
}

} // namespace

class FsModel::RunningScope
{
public:
    RunningScope(FsModel& model, const char* what)
        : m_model(model)
        , m_entered(!model.m_running)
    {
        if (m_entered)
            model.m_running = true;
        else
            qWarning().noquote() << what << "refused: a mount or unmount of the file-system table runs";
    }
    ~RunningScope()
    {
        if (m_entered)
            m_model.m_running = false;
    }
    bool entered() const { return m_entered; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    FsModel& m_model;
    bool m_entered;
};

FsModel::FsModel(QObject* parent)
    : QStandardItemModel(parent)
{
    setHorizontalHeaderLabels(
        {tr("Backup"), tr("Filesystem"), tr("Mount point"), tr("Type"), tr("Options"), tr("Dump"), tr("Pass")});
}

QHash<int, QByteArray> FsModel::roleNames() const
{
    return {
        {NeedBackupRole, "needBackup"},
        {FilesystemRole, "filesystem"},
        {MountpointRole, "mountpoint"},
        {TypeRole, "type"},
        {OptionsRole, "options"},
        {DumpRole, "dump"},
        {PassRole, "pass"},
    };
}

bool FsModel::fill(const QString& path)
{
    Notifier* notifier = Notifier::getInstance();
    if (!QFile::exists(path)) {
        notifier->showError(path + tr(" doesnt exists"));
        return false;
    }
    qDebug() << path << "exists";

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        notifier->showError(tr("Can't open ") + path);
        return false;
    }
    qDebug() << path << " opened";

    clear();
    setBackupingFsNumber(0);

    QList<QStandardItem*> rows;
    QTextStream stream(&file);
    QString line;
    while (stream.readLineInto(&line)) {
        line.replace(QLatin1Char('\t'), QLatin1Char(' '));
        line = line.simplified();
        qDebug() << "line" << rows.size() << ": " << line;

        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("proc"))
            || line.startsWith(QLatin1String("devpts")) || line.startsWith(QLatin1String("tmpfs")))
            continue;

        const QStringList pieces = line.split(QLatin1Char(' '));
        QString fields[6];
        for (int i = 0; i < 6 && i < pieces.size(); ++i)
            fields[i] = pieces.at(i);

        const QString& type = fields[2];
        if (type == QLatin1String("swap") || type.contains(QLatin1String("iso9660"), Qt::CaseSensitive))
            continue;

        auto* item = new QStandardItem;
        item->setData(false, NeedBackupRole);
        for (int i = 0; i < 6; ++i)
            item->setData(fields[i], FilesystemRole + i);
        rows.append(item);
    }

    if (!rows.isEmpty())
        invisibleRootItem()->appendRows(rows);
    return true;
}

unsigned int FsModel::backupingFsNumber() const
{
    return static_cast<unsigned int>(m_backupingFsNumber);
}

void FsModel::setBackupingFsNumber(int value)
{
    if (m_backupingFsNumber == value)
        return;
    m_backupingFsNumber = value;
    emit backupingFsNumberChanged();
}

void FsModel::increaseBackupingFsNumber()
{
    setBackupingFsNumber(m_backupingFsNumber + 1);
}

void FsModel::decreaseBackupingFsNumber()
{
    if (m_backupingFsNumber <= 0)
        return;
    setBackupingFsNumber(m_backupingFsNumber - 1);
}

void FsModel::mark(int row, bool ifNeedBackup)
{
    if (row < 0 || row >= rowCount()) {
        qWarning() << "you try to mark wrong row:" << row;
        return;
    }
    if (m_running) {
        qWarning() << "mark of row" << row << "refused: a mount or unmount of the file-system table runs";
        return;
    }
    if (ifNeedBackup)
        increaseBackupingFsNumber();
    else
        decreaseBackupingFsNumber();
    item(row)->setData(ifNeedBackup, NeedBackupRole);
}

void FsModel::resetBackupingFsNumber()
{
    setBackupingFsNumber(0);
}

bool FsModel::mountDevice(const QString& device, const QString& mountPoint, bool readOnly)
{
    const RunningScope running(*this, "mountDevice");
    return running.entered() && mountDeviceNow(device, mountPoint, readOnly);
}

bool FsModel::mountDeviceNow(const QString& device, const QString& mountPoint, bool readOnly)
{
    Notifier* notifier = Notifier::getInstance();

    // Is a file system already mounted there? df names the file system that
    // holds the folder; it is mounted there when its mount point (the last
    // column) is the folder itself, compared as normalised paths ("/mnt/" is
    // "/mnt").
    const QString folder = QDir::cleanPath(mountPoint);
    const std::string dfCommand = "/bin/df -k -- " + quoted(folder);
    std::string dfOutput;
    CommandResult dfResult;
    if (sv_key_common::execute_command(dfCommand, &dfOutput, &dfResult) == 0 && dfNamesMountPoint(dfOutput, folder)) {
        notifier->showError(
            QStringLiteral("The mount point ") + mountPoint + QStringLiteral(" is used. Please unmount it first"),
            dfResult.allOutput());
        return false;
    }
    emit commandDone();

    const QString command = QStringLiteral("/bin/mount")
        + (readOnly ? QStringLiteral(" -o ro,nodev,nosuid,noexec") : QString()) + QStringLiteral(" -- ")
        + QString::fromStdString(quoted(device)) + QLatin1Char(' ') + QString::fromStdString(quoted(mountPoint));
    CommandResult result;
    if (sv_key_common::execute_command(command.toStdString(), nullptr, &result) != 0) {
        notifier->showError(tr("Can't mount device ") + device + tr(" to mountpoint ") + mountPoint,
            tr("Can't execute: ") + command + QStringLiteral("\n") + tr("Result: ") + explainFailure(result).details);
        return false;
    }

    qDebug() << "Device " + device + " was mounted to " + mountPoint << "with command:" << command;
    mountedDevices.append(device);
    return true;
}

bool FsModel::unmountDevice(const QString& device)
{
    const RunningScope running(*this, "unmountDevice");
    return running.entered() && unmountDeviceNow(device);
}

bool FsModel::unmountDeviceNow(const QString& device)
{
    const QString command = QStringLiteral("/bin/umount -lf -- ") + QString::fromStdString(quoted(device));
    CommandResult result;
    if (sv_key_common::execute_command(command.toStdString(), nullptr, &result) != 0) {
        const CommandFailure failure = explainFailure(result, tr("Can't execute: ") + command);
        Notifier::getInstance()->showError(failure.message, failure.details);
        return false;
    }
    qDebug() << "Device " + device + " was unmounted"
             << "with command:" << command;
    mountedDevices.removeOne(device);
    return true;
}

bool FsModel::unmountAll()
{
    const RunningScope running(*this, "unmountAll");
    if (!running.entered())
        return false;
    bool allDone = true;
    const QStringList devices = mountedDevices;
    for (int i = devices.size() - 1; i >= 0; --i) {
        const QString& device = devices.at(i);
        if (!unmountDeviceNow(device)) {
            Notifier::getInstance()->showError(tr("Can't unmount device: ") + device);
            allDone = false;
        }
        emit commandDone();
    }
    return allDone;
}

bool FsModel::mountAll()
{
    return privateMultipleMount(false);
}

bool FsModel::mountAllNeedBackup()
{
    return privateMultipleMount(true);
}

bool FsModel::privateMultipleMount(bool onlyMarked)
{
    const RunningScope running(*this, onlyMarked ? "mountAllNeedBackup" : "mountAll");
    if (!running.entered())
        return false;
    bool allDone = true;
    for (int row = 0; row < rowCount(); ++row) {
        const QStandardItem* entry = item(row);
        if (onlyMarked && !entry->data(NeedBackupRole).toBool())
            continue;

        const QString filesystem = entry->data(FilesystemRole).toString();
        if (mountedDevices.contains(filesystem))
            continue;

        QString mountPoint = entry->data(MountpointRole).toString();
        if (!mountPoint.startsWith(kMountRoot))
            mountPoint.prepend(kMountRoot);

        qDebug() << "Mount device" << filesystem << "to mountpoint" << mountPoint;
        bool mounted = false;
        if (!mountPointStaysBelowRoot(mountPoint)) {
            Notifier::getInstance()->showError(
                tr("Can't mount device ") + filesystem + tr(" to mountpoint ") + mountPoint,
                tr("The mount point leads outside of /mnt"));
        } else {
            mounted = mountDeviceNow(filesystem, mountPoint, true);
            emit commandDone();
        }
        if (!mounted) {
            Notifier::getInstance()->showWarning(
                tr("Device ") + filesystem + tr(" from fstab can`t be mounted to ") + mountPoint);
            allDone = false;
        }
    }
    return allDone;
}
