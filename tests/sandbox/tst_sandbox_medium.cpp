// The simulated rescue medium as the tool sees it inside the sandbox
// ("standard" preset): identity, stand-ins, the lsblk stub's tree against
// blkid, mounting the installed system, the LVM and hostnamectl stubs and
// the other presets.
#include <QtTest>

#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class TestMedium : public QObject {
    Q_OBJECT

    struct Result {
        int code = -1;
        QString out;
    };

    static Result sh(const QString& command)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("/bin/bash", {"-c", command});
        Result r;
        if (!p.waitForFinished(60000))
            return r;
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAll());
        return r;
    }

    // Rebuilds the simulated disks from a preset.
    static Result preset(const QString& name)
    {
        return sh(". \"$SV_SOURCE_DIR/sandbox/lib/medium.sh\"; set -e; sv_medium_detach_all; sv_medium_init; "
                  "sv_medium_preset " + name);
    }

    static QMap<QString, QString> blkid(const QString& dev)
    {
        QMap<QString, QString> m;
        for (const QString& l : sh("/sbin/blkid -p -o export " + dev).out.split('\n', Qt::SkipEmptyParts))
            m.insert(l.section('=', 0, 0), l.section('=', 1).replace(QRegularExpression("\\\\(.)"), "\\1"));
        return m;
    }

    // The disk names the lsblk stub lists, one a line.
    static QString disks()
    {
        const Result r = sh("/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'");
        return r.code == 0 ? r.out : QString();
    }

    static QJsonObject tree(const QString& disk)
    {
        const Result r = sh("/bin/lsblk -fJ /dev/" + disk);
        if (r.code != 0)
            return {};
        return QJsonDocument::fromJson(r.out.toUtf8()).object()["blockdevices"].toArray().at(0).toObject();
    }

    static QJsonObject child(const QJsonObject& o, const QString& name)
    {
        for (const auto& c : o["children"].toArray())
            if (c.toObject()["name"].toString() == name)
                return c.toObject();
        return {};
    }

private slots:
    void identity()
    {
        QVERIFY(sh("/bin/cat /etc/os-release | /bin/grep PRETTY_NAME").out.contains("PRETTY_NAME=\"Sarvelin key\""));
        char name[256] = {};
        gethostname(name, sizeof(name) - 1);
        QCOMPARE(QString(name), QString("sarvelin-key"));
        QVERIFY(QRegularExpression("^[0-9a-f]{32}\n$").match(sh("cat /etc/machine-id").out).hasMatch());
        for (const char* p : {"sarvelin_client", "sv_keyclientd", "sv_archives", "svfd"})
            QVERIFY2(QFileInfo(QString("/opt/sarvelin/bin/") + p).isExecutable(), p);
        // Private process space: the sandbox's first process is its own.
        QVERIFY(sh("cat /proc/1/cmdline | tr '\\0' ' '").out.contains("sv-sandbox"));
        QCOMPARE(disks(), QString("sda\nsdb\n"));
    }

    // The lsblk stub's tree agrees with what blkid probes on the disks, and
    // the installed system mounts by device and by the fstab's own UUIDs.
    void treeAndMounts()
    {
        const QJsonObject sda = tree("sda");
        const QJsonArray parts = sda["children"].toArray();
        QCOMPARE(parts.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QJsonObject p = parts.at(i).toObject();
            const auto b = blkid("/dev/" + p["name"].toString());
            QCOMPARE(p["fstype"].toString() + " " + p["uuid"].toString() + " " + p["label"].toVariant().toString(),
                     b.value("TYPE") + " " + b.value("UUID") + " " + b.value("LABEL"));
        }
        QCOMPARE(child(sda, "sda4")["children"].toArray().at(1).toObject()["fstype"].toString(), QString("xfs"));
        QCOMPARE(sh("/bin/lsblk -fJ /dev/nosuch").code, 32);

        const QString rootUuid = blkid("/dev/sda2").value("UUID");
        QCOMPARE(sh("/sbin/blkid --uuid " + rootUuid).out, QString("/dev/sda2\n"));
        QCOMPARE(sh("/bin/mount -o ro /dev/sda2 /mnt").code, 0);
        QCOMPARE(child(tree("sda"), "sda2")["mountpoint"].toString(), QString("/mnt"));
        QCOMPARE(sh("cat /mnt/etc/hostname").out, QString("web01\n"));
        QCOMPARE(QFileInfo("/mnt/opt/sarvelin/keys/master-key").size(), 32);
        QVERIFY(sh("cat /mnt/etc/fstab").out.contains("UUID=" + rootUuid + "\t/\text4"));
        QCOMPARE(sh("/bin/mount -o ro UUID=" + blkid("/dev/sdb1").value("UUID") + " /mnt/srv/data").code, 0);
        QCOMPARE(sh("cat /mnt/srv/data/readme.txt").out, QString("data\n"));
        QCOMPARE(sh("/bin/umount -lf /mnt/srv/data && /bin/umount -lf /dev/sda2").code, 0);
        QVERIFY(child(tree("sda"), "sda2")["mountpoint"].isNull());
    }

    void lvmStubs()
    {
        QCOMPARE(sh("/sbin/pvs | grep /dev/sda").out.simplified(), QString("/dev/sda4 vg_data lvm2 a-- 16.00m 0"));
        QCOMPARE(sh("/sbin/pvremove -y /dev/sda4").code, 5);   // still in its volume group
        Result r = sh("/sbin/lvremove -y vg_data");
        QCOMPARE(r.code, 0);
        QCOMPARE(child(child(tree("sda"), "sda4"), "vg_data-home"), QJsonObject());
        QCOMPARE(sh("/sbin/vgremove -y vg_data").code, 0);
        QCOMPARE(sh("/sbin/vgremove -y vg_data").code, 5);
        QCOMPARE(sh("/sbin/pvremove -y /dev/sda4").code, 0);
        QCOMPARE(sh("/sbin/pvs | grep /dev/sda").code, 1);
        // pvremove wiped the label, as on a real disk.
        QCOMPARE(blkid("/dev/sda4").value("TYPE"), QString());
        QVERIFY(child(tree("sda"), "sda4")["fstype"].isNull());
        QVERIFY(sh("cat /tmp/.sv-sandbox/medium/lvm.log").out.startsWith("pvs \npvremove -y /dev/sda4\nlvremove -y vg_data\n"));
        // An injected failure; a physical volume without a group.
        QCOMPARE(preset("lvm").code, 0);
        sh("echo 'fail vgremove vg1' >> /tmp/.sv-sandbox/medium/lvm.state");
        QCOMPARE(sh("/sbin/vgremove -y vg1").code, 5);
        QCOMPARE(sh("/sbin/pvs | grep /dev/sdb2").out.simplified(), QString("/dev/sdb2 lvm2 --- 16.00m 16.00m"));
    }

    void hostnamectlStub()
    {
        QCOMPARE(sh("/usr/bin/hostnamectl set-hostname web01").code, 0);
        char name[256] = {};
        gethostname(name, sizeof(name) - 1);
        QCOMPARE(QString(name), QString("web01"));
        QCOMPARE(sh("cat /etc/hostname").out, QString("web01\n"));
        for (const char* bad : {"'a;b'", "'$(id)'", "'-x'"}) {
            QCOMPARE(sh(QString("/usr/bin/hostnamectl set-hostname ") + bad).code, 1);
            gethostname(name, sizeof(name) - 1);
            QCOMPARE(QString(name), QString("web01"));
        }
        QVERIFY(sh("cat /tmp/.sv-sandbox/medium/hostnamectl.log").out.startsWith("set-hostname web01\n"));
    }

    void hostilePreset()
    {
        QCOMPARE(preset("hostile").code, 0);
        QCOMPARE(sh("/bin/mount -o ro /dev/sda1 /mnt").code, 0);
        QCOMPARE(sh("cat /mnt/etc/hostname").out, QString("web$(touch /tmp/sv-pwned-hostname);`id`|x\n"));
        const QString fstab = sh("cat /mnt/etc/fstab").out;
        QVERIFY(fstab.contains("$(touch /tmp/sv-pwned-dollar) /srv"));
        QVERIFY(fstab.contains("`touch /tmp/sv-pwned-backquote` /var"));
        QVERIFY(fstab.contains("/dev/sda1;touch${IFS}/tmp/sv-pwned-semicolon /mnt/x"));
        QVERIFY(fstab.contains("/dev/sda1|touch${IFS}/tmp/sv-pwned-pipe /home"));
        QCOMPARE(child(tree("sda"), "sda1")["label"].toString(), QString("$(id)"));
        sh("/bin/umount -lf /mnt");
        // Building and describing the medium ran none of it.
        QCOMPARE(sh("ls /tmp/sv-pwned-* 2>/dev/null").out, QString());
    }

    // A preset without the master key, and one with /opt on a partition of
    // its own (present once that one is mounted).
    void missingPiecesPresets()
    {
        QCOMPARE(preset("no-master-key").code, 0);
        QCOMPARE(sh("/bin/mount -o ro /dev/sda1 /mnt").code, 0);
        QVERIFY(QFile::exists("/mnt/opt/sarvelin/etc/config.file"));
        QVERIFY(!QFile::exists("/mnt/opt/sarvelin/keys/master-key") && !QFile::exists("/mnt/opt/sarvelin/keys/secret-key.pem"));
        sh("/bin/umount -lf /mnt");
        QCOMPARE(preset("separate-opt").code, 0);
        QCOMPARE(sh("/bin/mount -o ro /dev/sda1 /mnt").code, 0);
        QVERIFY(!QFile::exists("/mnt/opt/sarvelin/etc/config.file"));
        QVERIFY(sh("cat /mnt/etc/fstab").out.contains(" /opt xfs "));
        QCOMPARE(sh("/bin/mount -o ro /dev/sda2 /mnt/opt").code, 0);
        QCOMPARE(QFileInfo("/mnt/opt/sarvelin/keys/master-key").size(), 32);
        sh("/bin/umount -lf /mnt/opt; /bin/umount -lf /mnt");
    }

    void labelsWithQuotesAndBackslashes()
    {
        // lsblk's JSON stays valid and carries the label as it is.
        QCOMPARE(sh(". \"$SV_SOURCE_DIR/sandbox/lib/medium.sh\"; set -e; sv_medium_detach_all; sv_medium_init; "
                    "sv_disk sda \"ext4:8:label=a\\\"b\\\\c\" \"vfat:8:label=X Y\"").code, 0);
        const QJsonObject sda = tree("sda");
        QCOMPARE(child(sda, "sda1")["label"].toString(), QString("a\"b\\c"));
        QCOMPARE(child(sda, "sda2")["label"].toString(), QString("X Y"));
        QCOMPARE(blkid("/dev/sda1").value("LABEL"), QString("a\"b\\c"));
    }
};

QTEST_GUILESS_MAIN(TestMedium)
#include "tst_sandbox_medium.moc"
