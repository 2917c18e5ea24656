// The fstab model: reading an fstab, marking entries, and mounting and
// unmounting below /mnt. mount, umount and df are replaced by stubs that log
// their arguments (one per line, a blank line after each call), so the test
// runs only on the simulated rescue medium.

#include "devices_support.h"
#include "fsmodel.h"

#include <QtTest>

using namespace devices_test;

namespace {

// A stub that logs its arguments to WORK/NAME.log and exits with the code
// found in WORK/NAME.rc.<first device argument> or WORK/NAME.rc (default 0);
// it prints WORK/NAME.out if that file exists.
QByteArray stubBody(const QString& name)
{
    const QString w = workDir();
    return QStringLiteral("log='%1/%2.log'\n"
                          "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> \"$log\"; echo >> \"$log\"\n"
                          "[ -f '%1/%2.out' ] && cat '%1/%2.out'\n"
                          "last=''; for a in \"$@\"; do last=\"$a\"; done\n"
                          "key=$(printf '%s' \"$last\" | tr '/' '_')\n"
                          "if [ -f \"%1/%2.rc.$key\" ]; then exit $(cat \"%1/%2.rc.$key\"); fi\n"
                          "[ -f '%1/%2.rc' ] && exit $(cat '%1/%2.rc')\n"
                          "exit 0\n")
        .arg(w, name)
        .toLocal8Bit();
}

// The calls a stub received, each as its argument list joined by blanks.
QStringList calls(const QString& name)
{
    QStringList result;
    const QString log = QString::fromLocal8Bit(readFile(workDir() + "/" + name + ".log"));
    for (const QString& call : log.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts))
        result << call.split('\n', Qt::SkipEmptyParts).join(' ');
    return result;
}

QString fstabFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.path() + "/fstab";
    writeFile(path, content);
    return path;
}

// The rows of the model, one line each: the six fields joined by '|'.
QString rows(const FsModel& model)
{
    QString out;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList fields;
        for (int role = FsModel::FilesystemRole; role <= FsModel::PassRole; ++role)
            fields << model.item(r)->data(role).toString();
        out += fields.join('|') + '\n';
    }
    return out;
}

} // namespace

class TestFsModel : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        SV_REQUIRE_SANDBOX();
        QVERIFY(dir.isValid());
        for (const char* tool : {"mount", "umount", "df"})
            QVERIFY(installScript(QStringLiteral("/usr/bin/") + tool, stubBody(QString::fromLatin1(tool))));
    }

    void init()
    {
        QDir work(workDir());
        for (const QString& f : work.entryList({"mount.*", "umount.*", "df.*"}, QDir::Files))
            work.remove(f);
        // df names "/" as the mount point: nothing is mounted on the folder.
        writeFile(workDir() + "/df.out",
            "Filesystem 1K-blocks Used Available Use% Mounted on\n"
            "/dev/vda1 1000 10 990 1% /\n");
    }

    // --- reading an fstab

    void readsEntries_data()
    {
        QTest::addColumn<QByteArray>("fstab");
        QTest::addColumn<QString>("rows");
        // Comments, blank lines, tabs and runs of blanks; fields beyond six are
        // ignored, missing ones stay empty.
        QTest::newRow("six fields") << QByteArray(
            "# /etc/fstab: static file system information.\n"
            "UUID=ff48e5ab-b3cf-45bf-bb11-e7cad3e48bde / ext4 errors=remount-ro 0 1\n"
            "\t\tLABEL=boot\t/boot   ext4\t\tdefaults   0    2   \n"
            "\n"
            "   # an indented comment\n"
            "/dev/sdb1 /srv/data xfs defaults,nofail 0 2 extra fields here\n"
            "/dev/sdc1 /mnt/data auto noauto\n"
            "/dev/sda1\n")
                                    << "UUID=ff48e5ab-b3cf-45bf-bb11-e7cad3e48bde|/|ext4|errors=remount-ro|0|1\n"
                                       "LABEL=boot|/boot|ext4|defaults|0|2\n"
                                       "/dev/sdb1|/srv/data|xfs|defaults,nofail|0|2\n"
                                       "/dev/sdc1|/mnt/data|auto|noauto||\n"
                                       "/dev/sda1|||||\n";
        // "processed-disk" begins with "proc": the prefix test drops it too.
        QTest::newRow("pseudo file systems, swap and CD-ROMs")
            << QByteArray("proc /proc proc defaults 0 0\n"
                          "devpts /dev/pts devpts gid=5,mode=620 0 0\n"
                          "tmpfs /tmp tmpfs defaults 0 0\n"
                          "tmpfs-run /run tmpfs defaults 0 0\n"
                          "processed-disk /data ext4 defaults 0 2\n"
                          "UUID=1111 none swap sw 0 0\n"
                          "/dev/sr0 /media/cdrom0 udf,iso9660 user,noauto 0 0\n"
                          "/dev/sr2 /media/cdrom2 ISO9660 ro 0 0\n"
                          "/dev/sda5 /proc ext4 defaults 0 0\n"
                          "/dev/sda6 /swap ext4 defaults 0 0\n"
                          "/dev/sdb1 /media/usb auto noauto 0 0\n")
            << "/dev/sr2|/media/cdrom2|ISO9660|ro|0|0\n/dev/sda5|/proc|ext4|defaults|0|0\n"
               "/dev/sda6|/swap|ext4|defaults|0|0\n/dev/sdb1|/media/usb|auto|noauto|0|0\n";
        QTest::newRow("nothing usable") << QByteArray("# nothing\nproc /proc proc defaults 0 0\n") << "";
    }

    void readsEntries()
    {
        QFETCH(QByteArray, fstab);
        QFETCH(QString, rows);
        FsModel model;
        // A fill replaces the rows of the one before.
        QVERIFY(model.fill(fstabFile(dir, "/dev/old / ext4 defaults 0 1\n")));
        QVERIFY(model.fill(fstabFile(dir, fstab)));
        QCOMPARE(::rows(model), rows);
        for (int r = 0; r < model.rowCount(); ++r)
            QCOMPARE(model.item(r)->data(FsModel::NeedBackupRole), QVariant(false));
    }

    // The rows of the previous fill stay when a file cannot be read.
    void unreadableFilesAreReported()
    {
        FsModel model;
        QVERIFY(model.fill(fstabFile(dir, "/dev/sda1 / ext4 defaults 0 1\n")));
        NoteRecorder notes;
        const QString missing = dir.path() + "/no-such-fstab";
        QVERIFY(!model.fill(missing));
        // A folder exists but cannot be opened as a file.
        QVERIFY(!model.fill(dir.path()));
        QCOMPARE(notes.messages("error"), QStringList({missing + " doesnt exists", "Can't open " + dir.path()}));
        QCOMPARE(model.rowCount(), 1);
    }

    // --- marks

    // Every call counts, a second mark of the same row too; the count never
    // goes below zero (the forward buttons go off at zero); rows outside the
    // model change nothing; a reset keeps the marks, a new fill drops the count.
    void marks()
    {
        FsModel model;
        QVERIFY(model.fill(fstabFile(dir, "/dev/a / ext4 d 0 1\n/dev/b /home ext4 d 0 2\n")));
        QSignalSpy changed(&model, &FsModel::backupingFsNumberChanged);
        model.mark(0, false);
        QTest::ignoreMessage(QtWarningMsg, "you try to mark wrong row: -1");
        model.mark(-1, true);
        QTest::ignoreMessage(QtWarningMsg, "you try to mark wrong row: 2");
        model.mark(2, true);
        QCOMPARE(changed.count(), 0);
        for (const auto& [row, on] : {std::pair {0, true}, {0, true}, {1, true}, {1, false}})
            model.mark(row, on);
        QCOMPARE(model.backupingFsNumber(), 2u);
        QCOMPARE(model.item(1)->data(FsModel::NeedBackupRole), QVariant(false));
        for (const auto& [row, on] : {std::pair {0, false}, {0, false}, {0, true}})
            model.mark(row, on);
        QCOMPARE(model.backupingFsNumber(), 1u);
        model.resetBackupingFsNumber();
        QCOMPARE(model.backupingFsNumber(), 0u);
        QCOMPARE(model.item(0)->data(FsModel::NeedBackupRole), QVariant(true));
        model.mark(0, true);
        QVERIFY(model.fill(fstabFile(dir, "/dev/a / ext4 d 0 1\n")));
        QCOMPARE(model.backupingFsNumber(), 0u);
    }

    // --- mounting

    void unmountAllGoesBackwardsAndKeepsFailures()
    {
        FsModel model;
        QVERIFY(model.unmountAll()); // nothing mounted: runs nothing
        QVERIFY(calls("umount").isEmpty());
        for (const char* dev : {"UUID=root", "UUID=boot", "UUID=home", "UUID=opt"})
            QVERIFY(model.mountDevice(QString::fromLatin1(dev), "/mnt/x", true));
        writeFile(workDir() + "/umount.rc.UUID=home", "32");
        writeFile(workDir() + "/umount.out", "umount: UUID=home: not mounted.\n");
        NoteRecorder notes;
        QVERIFY(!model.unmountAll());
        QCOMPARE(calls("umount"),
            QStringList({"-lf -- UUID=opt", "-lf -- UUID=home", "-lf -- UUID=boot", "-lf -- UUID=root"}));
        QCOMPARE(notes.dump(),
            QStringLiteral("error: Can't execute: /bin/umount -lf -- 'UUID=home' "
                           "[umount: UUID=home: not mounted.\n]\n"
                           "error: Can't unmount device: UUID=home"));
        QCOMPARE(model.getMountedDevices(), QStringList("UUID=home"));

        // The remembered device is retried by the next call.
        QFile::remove(workDir() + "/umount.rc.UUID=home");
        QVERIFY(model.unmountAll());
        QVERIFY(model.getMountedDevices().isEmpty());
    }

    // Marked rows for a backup, then every row: read-only, below /mnt, a
    // device already mounted not twice, a failed entry reported and skipped.
    void mountAllPutsEntriesBelowMnt()
    {
        FsModel model;
        QVERIFY(model.fill(fstabFile(dir,
            "UUID=root / ext4 errors=remount-ro 0 1\n"
            "UUID=gone /srv ext4 defaults 0 2\n"
            "UUID=home /home ext4 defaults 0 2\n"
            "/dev/sdc1 /mnt/data xfs defaults 0 2\n"
            "UUID=root /again ext4 defaults 0 2\n")));
        model.mark(0, true);
        model.mark(3, true);
        QVERIFY(model.mountAllNeedBackup());
        QCOMPARE(calls("mount"),
            QStringList(
                {"-o ro,nodev,nosuid,noexec -- UUID=root /mnt/", "-o ro,nodev,nosuid,noexec -- /dev/sdc1 /mnt/data"}));
        QCOMPARE(calls("df"), QStringList({"-k -- /mnt", "-k -- /mnt/data"}));
        QVERIFY(model.unmountAll());
        QFile::remove(workDir() + "/mount.log");
        writeFile(workDir() + "/mount.rc._mnt_srv", "32");
        writeFile(workDir() + "/mount.out", "mount: /mnt/srv: can't find UUID=gone.\n");
        NoteRecorder notes;
        QVERIFY(!model.mountAll());
        QCOMPARE(calls("mount"),
            QStringList({"-o ro,nodev,nosuid,noexec -- UUID=root /mnt/",
                "-o ro,nodev,nosuid,noexec -- UUID=gone /mnt/srv", "-o ro,nodev,nosuid,noexec -- UUID=home /mnt/home",
                "-o ro,nodev,nosuid,noexec -- /dev/sdc1 /mnt/data"}));
        QCOMPARE(notes.dump(),
            QStringLiteral("error: Can't mount device UUID=gone to mountpoint /mnt/srv [Can't execute: "
                           "/bin/mount -o ro,nodev,nosuid,noexec -- 'UUID=gone' '/mnt/srv'\nResult: mount: /mnt/srv: "
                           "can't find UUID=gone.\n]\n"
                           "warning: Device UUID=gone from fstab can`t be mounted to /mnt/srv"));
        QCOMPARE(model.getMountedDevices(), QStringList({"UUID=root", "UUID=home", "/dev/sdc1"}));
    }

    void mountPointsLeadingOutOfMntAreRefused()
    {
        FsModel model;
        QVERIFY(QDir().mkpath("/mnt/inst/lib"));
        QFile::remove("/mnt/inst/etc-link");
        QVERIFY(QFile::link("/etc", "/mnt/inst/etc-link"));
        QVERIFY(model.fill(fstabFile(dir,
            "UUID=a /../etc ext4 defaults 0 2\n"
            "UUID=b /mnt/../usr/bin ext4 defaults 0 2\n"
            "UUID=c /inst/etc-link ext4 defaults 0 2\n"
            "UUID=d /mntx ext4 defaults 0 2\n"
            "UUID=e /inst/lib ext4 defaults 0 2\n")));
        NoteRecorder notes;
        QVERIFY(!model.mountAll());
        // Only the entry that stays below /mnt reaches mount.
        QCOMPARE(calls("mount"), QStringList("-o ro,nodev,nosuid,noexec -- UUID=e /mnt/inst/lib"));
        QCOMPARE(notes.messages("warning"),
            QStringList({"Device UUID=a from fstab can`t be mounted to /mnt/../etc",
                "Device UUID=b from fstab can`t be mounted to /mnt/../usr/bin",
                "Device UUID=c from fstab can`t be mounted to /mnt/inst/etc-link",
                "Device UUID=d from fstab can`t be mounted to /mntx"}));
        QCOMPARE(notes.messages("error").size(), 4);
        QCOMPARE(notes.notes.at(0).details, QStringLiteral("The mount point leads outside of /mnt"));
        QFile::remove("/mnt/inst/etc-link");
    }

    // mount and umount each get every value as one argument, and run nothing.
    void shellSyntaxInEntriesIsPassedAsOneWord()
    {
        FsModel model;
        const QString marker = workDir() + "/fs-pwned";
        const QStringList devices {"/dev/sda1;touch${IFS}" + marker, "$(touch${IFS}" + marker + ")",
            "`touch${IFS}" + marker + "`", "/dev/sda1|touch${IFS}" + marker, "-a"};
        QByteArray fstab;
        for (int i = 0; i < devices.size(); ++i)
            fstab += (devices.at(i) + QStringLiteral(" /m%1 ext4 d 0 2\n").arg(i)).toLocal8Bit();
        QVERIFY(model.fill(fstabFile(dir, fstab + "UUID=q /it's ext4 d 0 2\n")));
        QVERIFY(model.mountAll());
        QVERIFY(model.unmountAll());
        QStringList mounts, unmounts;
        for (int i = 0; i < devices.size(); ++i) {
            mounts << "-o ro,nodev,nosuid,noexec -- " + devices.at(i) + QStringLiteral(" /mnt/m%1").arg(i);
            unmounts.prepend("-lf -- " + devices.at(i));
        }
        QCOMPARE(calls("mount"), mounts << "-o ro,nodev,nosuid,noexec -- UUID=q /mnt/it's");
        QCOMPARE(calls("umount"), QStringList("-lf -- UUID=q") + unmounts);
        QVERIFY(!QFile::exists(marker));
    }
};

QTEST_GUILESS_MAIN(TestFsModel)
#include "tst_fsmodel.moc"
