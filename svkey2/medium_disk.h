#ifndef MEDIUM_DISK_H
#define MEDIUM_DISK_H

#include <QString>
#include <QStringList>

// The disk the rescue medium itself was booted from (a USB key is a disk of
// the machine like any other). The tool never offers it as a backup source or
// a restore target and never clears LVM on it.
//
// Found from the live system's mount of the medium (its device number, else
// its source device), else from the kernel's "live-media=" argument, and
// resolved to its whole disk through sysfs (a partition's folder holds a
// "partition" file, inside its disk's folder).
class MediumDisk
{
public:
    // Where the facts are read; the defaults are the system's (sv_paths.h).
    struct Sources
    {
        QString mountInfo; // /proc/self/mountinfo
        QString mediumMount; // mount point of the live medium
        QString sysDevBlock; // MAJ:MIN links of block devices
        QString sysClassBlock; // block devices by name
        QString commandLine; // the kernel's command line
    };
    static Sources systemSources();

    // The medium's whole-disk name ("sdb", "nvme0n1", "sr0"), or empty when
    // the tool does not run from a live medium.
    static QString find(const Sources& sources = systemSources());

    // `drives` without the medium's disk.
    static QStringList without(const QStringList& drives, const Sources& sources = systemSources());

private:
    static QString wholeDisk(const QString& blockFolder);
};

#endif // MEDIUM_DISK_H
