// The simulated rescue medium as the tool sees it inside the sandbox
// ("standard" preset): identity, the lsblk stub's tree against blkid, and
// hostile names on the medium, and the stand-ins' scenario files. (The
// hostnamectl stub is driven by the device and backup tests.)
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "scenario.h"

class TestMedium : public QObject
{
    Q_OBJECT

    struct Result
    {
        int code = -1;
        QString out;
    };

    static Result sh(const QString& command)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("/bin/bash", {"-c", command});
        const int code = p.waitForFinished(60000) ? p.exitCode() : -1;
        return {code, QString::fromUtf8(p.readAll())};
    }

    static QMap<QString, QString> blkid(const QString& dev)
    {
        QMap<QString, QString> m;
        for (const QString& l : sh("/sbin/blkid -p -o export " + dev).out.split('\n', Qt::SkipEmptyParts))
            m.insert(l.section('=', 0, 0), l.section('=', 1).replace(QRegularExpression("\\\\(.)"), "\\1"));
        return m;
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
    // Every scenario file loads, those kept for runs by hand too (the daemon
    // stand-in refuses to start on a wrong one).
    void scenarioFilesLoad()
    {
        const QDir dir(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios");
        const QStringList files = dir.entryList({"*.ini"}, QDir::Files);
        QVERIFY(files.contains("default.ini") && files.contains("slow-daemon.ini"));
        for (const QString& f : files) {
            sv_standin::scenario sc;
            std::string error;
            QVERIFY2(sv_standin::load_scenario(dir.filePath(f).toStdString(), sc, error),
                qPrintable(f + ": " + QString::fromStdString(error)));
        }
        // A wrong value is refused, and named.
        QTemporaryFile wrong;
        QVERIFY(wrong.open() && wrong.write("[local_client]\nstart = maybe\n") > 0 && wrong.flush());
        sv_standin::scenario sc;
        std::string error;
        QVERIFY(!sv_standin::load_scenario(wrong.fileName().toStdString(), sc, error));
        QVERIFY2(QString::fromStdString(error).contains("'maybe'"), error.c_str());
    }

    void identityAndTree()
    {
        QCOMPARE(QSysInfo::machineHostName(), QString("sarvelin-key"));
        QVERIFY(QRegularExpression("^[0-9a-f]{32}\n$").match(sh("cat /etc/machine-id").out).hasMatch());
        // Private process space: the sandbox's first process is its own.
        QVERIFY(sh("cat /proc/1/cmdline | tr '\\0' ' '").out.contains("sv-sandbox"));
        QCOMPARE(sh("/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'").out, QString("sda\nsdb\n"));
        // The lsblk stub's tree agrees with what blkid probes on the disks.
        // (Mounting by the fstab's UUIDs is walked by the device and backup
        // tests, the LVM stubs by the restore tests.)
        const QJsonObject sda = tree("sda");
        const QJsonArray parts = sda["children"].toArray();
        QCOMPARE(parts.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QJsonObject p = parts.at(i).toObject();
            const auto b = blkid("/dev/" + p["name"].toString());
            QCOMPARE(p["fstype"].toString() + " " + p["uuid"].toString() + " " + p["label"].toVariant().toString(),
                b.value("TYPE") + " " + b.value("UUID") + " " + b.value("LABEL"));
        }
        QCOMPARE(sh("/bin/lsblk -fJ /dev/nosuch").code, 32);
    }

    void hostileNames()
    {
        QCOMPARE(sh(". \"$SV_SOURCE_DIR/sandbox/lib/medium.sh\"; set -e; sv_medium_detach_all; sv_medium_init; "
                    "sv_medium_preset hostile")
                     .code,
            0);
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
        // lsblk's JSON stays valid and carries a label with quotes as it is.
        QCOMPARE(sh(". \"$SV_SOURCE_DIR/sandbox/lib/medium.sh\"; set -e; sv_medium_detach_all; sv_medium_init; "
                    "sv_disk sda \"ext4:8:label=a\\\"b\\\\c\" \"vfat:8:label=X Y\"")
                     .code,
            0);
        const QJsonObject sda = tree("sda");
        QCOMPARE(child(sda, "sda1")["label"].toString(), QString("a\"b\\c"));
        QCOMPARE(child(sda, "sda2")["label"].toString(), QString("X Y"));
        QCOMPARE(blkid("/dev/sda1").value("LABEL"), QString("a\"b\\c"));
    }
};

QTEST_GUILESS_MAIN(TestMedium)
#include "tst_sandbox_medium.moc"
