#include "medium_disk.h"

#include "sv_paths.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(1 << 20));
}

// mountinfo escapes blanks and backslashes in paths as \ooo.
QString unescapeMountField(const QString& field)
{
    QByteArray out;
    const QByteArray in = field.toUtf8();
    for (int i = 0; i < in.size(); ++i) {
        if (in.at(i) == '\\' && i + 3 < in.size()) {
            bool ok = false;
            const int code = in.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(in.at(i));
    }
    return QString::fromUtf8(out);
}

} // namespace

MediumDisk::Sources MediumDisk::systemSources()
{
    return {QString::fromLatin1(sv_paths::mountInfoFile), QString::fromLatin1(sv_paths::liveMediumMount),
        QString::fromLatin1(sv_paths::sysDevBlock), QString::fromLatin1(sv_paths::sysClassBlock),
        QString::fromLatin1(sv_paths::kernelCommandLine)};
}

QString MediumDisk::wholeDisk(const QString& blockFolder)
{
    const QFileInfo info(blockFolder);
    if (!info.exists())
        return QString();
    const QString real = info.canonicalFilePath();
    if (QFileInfo::exists(real + QStringLiteral("/partition")))
        return QFileInfo(QFileInfo(real).path()).fileName();
    return QFileInfo(real).fileName();
}

QString MediumDisk::find(const Sources& sources)
{
    // The live system's mount of its medium: "ID PARENT MAJ:MIN ROOT MOUNTPOINT ... - TYPE SOURCE ...".
    const QStringList lines = readSmallFile(sources.mountInfo).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() < 5 || unescapeMountField(fields.at(4)) != sources.mediumMount)
            continue;
        const QString byNumber = wholeDisk(sources.sysDevBlock + QLatin1Char('/') + fields.at(2));
        if (!byNumber.isEmpty())
            return byNumber;
        const int dash = fields.indexOf(QStringLiteral("-"));
        if (dash > 0 && dash + 2 < fields.size()) {
            const QString source = unescapeMountField(fields.at(dash + 2));
            if (source.startsWith(QLatin1Char('/'))) {
                const QString device = QFileInfo(source).canonicalFilePath();
                const QString disk = wholeDisk(sources.sysClassBlock + QLatin1Char('/')
                    + QFileInfo(device.isEmpty() ? source : device).fileName());
                if (!disk.isEmpty())
                    return disk;
            }
        }
    }

    // Not mounted (yet, or copied to memory): the device named at boot.
    const QStringList arguments = readSmallFile(sources.commandLine).simplified().split(QLatin1Char(' '));
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1String("live-media=")))
            continue;
        const QString named = argument.mid(int(qstrlen("live-media=")));
        const QString device = QFileInfo(named).canonicalFilePath();
        if (device.isEmpty())
            continue;
        return wholeDisk(sources.sysClassBlock + QLatin1Char('/') + QFileInfo(device).fileName());
    }
    return QString();
}

QStringList MediumDisk::without(const QStringList& drives, const Sources& sources)
{
    const QString medium = find(sources);
    if (medium.isEmpty())
        return drives;
    QStringList kept;
    for (const QString& drive : drives) {
        if (drive == medium)
            qInfo().noquote() << "Disk" << drive << "holds the rescue medium itself: not offered";
        else
            kept.append(drive);
    }
    return kept;
}
