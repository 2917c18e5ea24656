#ifndef FSMODEL_H
#define FSMODEL_H

#include <QStandardItemModel>
#include <QStringList>

// The file-system table of the inspected installed system: one row per usable
// fstab entry, with a mark that says whether the entry's file system goes into
// the rescue backup. The model also mounts file systems of the installed
// system below "/mnt" (read-only), remembers what it mounted and unmounts it
// again.
//
// The window goes on answering while a mount or an unmount runs: a second
// mount, unmount or mark that arrives meanwhile (the exit page, a check box)
// is refused and logged, never run half-way through the first one.
class FsModel : public QStandardItemModel
{
    Q_OBJECT
    Q_PROPERTY(unsigned int backupingFsNumber READ backupingFsNumber NOTIFY backupingFsNumberChanged)

public:
    enum Roles {
        NeedBackupRole = Qt::UserRole + 1,
        FilesystemRole,
        MountpointRole,
        TypeRole,
        OptionsRole,
        DumpRole,
        PassRole
    };

    explicit FsModel(QObject* parent = nullptr);

    // Replaces the rows with the usable entries of the fstab file at path.
    bool fill(const QString& path);

    unsigned int backupingFsNumber() const;
    void setBackupingFsNumber(int value);
    void increaseBackupingFsNumber();
    void decreaseBackupingFsNumber();

    // Mounts device on mountPoint; refuses a mount point that is already in use.
    // Read-only mounts of the installed system are also nodev, nosuid and
    // noexec: the tool only reads files there.
    bool mountDevice(const QString& device, const QString& mountPoint, bool readOnly);
    // Unmounts device (lazy and forced) and forgets it.
    bool unmountDevice(const QString& device);
    // Unmounts everything this model mounted, last mounted first.
    bool unmountAll();
    // Mounts every entry below "/mnt", read-only.
    bool mountAll();
    // Mounts the entries marked for backup below "/mnt", read-only.
    bool mountAllNeedBackup();
    bool privateMultipleMount(bool onlyMarked);

    // Device specifications mounted by this model, in mount order.
    QStringList getMountedDevices() const { return mountedDevices; }

    QHash<int, QByteArray> roleNames() const override;

signals:
    void backupingFsNumberChanged();
    // After each command of mountDevice, mountAll, mountAllNeedBackup and
    // unmountAll: a long run can let the window draw in between.
    void commandDone();

public slots:
    void mark(int row, bool ifNeedBackup);
    void resetBackupingFsNumber();

private:
    int m_backupingFsNumber = 0;
    QStringList mountedDevices;
    // True while one of the model's commands runs.
    bool m_running = false;
    // Refuses (false, logged) `what` while a command of the model runs;
    // otherwise marks the model running until the returned guard goes.
    class RunningScope;
    bool mountDeviceNow(const QString& device, const QString& mountPoint, bool readOnly);
    bool unmountDeviceNow(const QString& device);
};

#endif // FSMODEL_H
