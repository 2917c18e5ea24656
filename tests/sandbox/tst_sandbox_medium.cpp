// The simulated rescue medium ("standard" preset) as the tool sees it:
// identity, the lsblk stub against blkid, hostile names, scenario files.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "../common/shell_script.h"
#include "../common/test_files.h"
#include "scenario.h"

class TestMedium : public QObject
{
    Q_OBJECT

    static int exitCode(const QString& command) { return QProcess::execute("/bin/bash", {"-c", command}); }

    static QMap<QString, QString> blkid(const QString& dev)
    {
        QMap<QString, QString> m;
        for (const QString& l : runShell("/sbin/blkid -p -o export " + dev).split('\n', Qt::SkipEmptyParts))
            m.insert(l.section('=', 0, 0), l.section('=', 1).replace(QRegularExpression("\\\\(.)"), "\\1"));
        return m;
    }

    static QJsonObject tree(const QString& disk)
    {
        const QString json = runShell("/bin/lsblk -fJ /dev/" + disk);
        return QJsonDocument::fromJson(json.toUtf8()).object()["blockdevices"].toArray().at(0).toObject();
    }

private slots:
    // Every scenario file loads (the daemon stand-in refuses a wrong one).
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
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("wrong.ini"), "[local_client]\nstart = maybe\n"));
        sv_standin::scenario sc;
        std::string error;
        QVERIFY(!sv_standin::load_scenario(tmp.filePath("wrong.ini").toStdString(), sc, error));
        QVERIFY2(QString::fromStdString(error).contains("'maybe'"), error.c_str());
    }

    void identityAndTree()
    {
        QCOMPARE(QSysInfo::machineHostName(), QString("sarvelin-key"));
        QVERIFY(QRegularExpression("^[0-9a-f]{32}\n$").match(runShell("cat /etc/machine-id")).hasMatch());
        // Private process space: the sandbox's first process is its own.
        QVERIFY(runShell("cat /proc/1/cmdline | tr '\\0' ' '").contains("sv-sandbox"));
        QCOMPARE(runShell("/bin/lsblk -d | /bin/grep disk | /usr/bin/awk '{print $1}'"), QString("sda\nsdb\n"));
        // The lsblk stub's tree agrees with what blkid probes on the disks.
        const QJsonObject sda = tree("sda");
        const QJsonArray parts = sda["children"].toArray();
        QCOMPARE(parts.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const QJsonObject p = parts.at(i).toObject();
            const auto b = blkid("/dev/" + p["name"].toString());
            QCOMPARE(p["fstype"].toString() + " " + p["uuid"].toString() + " " + p["label"].toVariant().toString(),
                b.value("TYPE") + " " + b.value("UUID") + " " + b.value("LABEL"));
        }
        QCOMPARE(exitCode("/bin/lsblk -fJ /dev/nosuch"), 32);
    }

    // The disk builder and the lsblk stub carry hostile names as they are
    // (the tool's reading of a hostile medium: tst_inspection).
    void hostileNames()
    {
        // lsblk's JSON stays valid and carries a label with quotes as it is.
        QCOMPARE(exitCode(". \"$SV_SOURCE_DIR/sandbox/lib/medium.sh\"; set -e; sv_medium_detach_all; sv_medium_init; "
                          "sv_disk sda \"ext4:8:label=a\\\"b\\\\c\" 'ext4:8:label=X $(id)'"),
            0);
        const QJsonArray parts = tree("sda")["children"].toArray();
        QCOMPARE(parts.at(0)["name"].toString() + parts.at(0)["label"].toString(), QString("sda1a\"b\\c"));
        QCOMPARE(parts.at(1)["name"].toString() + parts.at(1)["label"].toString(), QString("sda2X $(id)"));
        QCOMPARE(blkid("/dev/sda1").value("LABEL"), QString("a\"b\\c"));
    }
};

QTEST_GUILESS_MAIN(TestMedium)
#include "tst_sandbox_medium.moc"
