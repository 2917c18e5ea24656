// The backup run's endings through the controller, one case a row, on an
// installed system with a separate /opt that each case adjusts, the
// stand-ins answering as the case says: what the operator was shown, the
// result, and that the one ending ran (no mounts, no key copies, no client,
// no client configuration after a failure).

#include "../link/link_support.h"
#include "backup_checks.h"
#include "fsmodel.h"

#include <QSignalSpy>

using namespace backup_checks;

class BackupFailuresTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LINK_TEST_IN_SANDBOX_ONLY(); }

    void run_data()
    {
        QTest::addColumn<QString>("edit"); // shell lines run in the installed /opt/sarvelin
        QTest::addColumn<QString>("backup"); // the stand-ins' [backup] section, and more
        QTest::addColumn<QStringList>("shown"); // "E: text|details" errors and "I: text" infos
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QStringList>("config"); // the medium's configuration; empty: a failed run

        const QString good = "svfd_seconds = 1\nstatus = 2, 5\n", none;
        const QStringList head = {"node client", "who-is-primary-server backup.example.lan"};
        const QStringList middle = {"logfile /opt/sarvelin/log/Sarvelin.log", "client-inet-interface eth0"};
        const QStringList dedup
            = {"parallelizm 8", "svd_algorithm sha2", "svd_block_size 16384", "svd_hash_length 256"};
        const QString end = "client-shutdown_scenario cancel-if-tasks";
        QTest::newRow("no master key") << "rm keys/master-key" << good
                                       << QStringList {"E: Sarvelin master key doesn't exist in original "
                                                       "system|Generate empty master key. Even you "
                                                       "choose crypto algorithm, rescue image will be uncrypted"}
                                       << " sv_archives -c /dev/sda -m rescue_image -a nocrypt"
                                       << head + QStringList {"who-is-secondary-server backup2.example.lan"} + middle
                + QStringList {"use-local-backup-directory /sarvelin_tmp"} + dedup
                + QStringList {"digital-signature yes", "digital-sign-hash sha256", end};
        QTest::newRow("no signature keys, no secondary server, local folder set")
            << "rm keys/*.pem; sed -i -e '/secondary/d' -e 's|^use-local-backup-directory "
               ".*|use-local-backup-directory /tmp|' etc/config.file"
            << good
            << QStringList {"I: Secret digital signature key doesn't exist in original system",
                   "I: Public digital signature key doesn't exist in original system"}
            << "Copy master key"
            << head + middle + QStringList {"use-local-backup-directory /tmp"} + dedup
                + QStringList {"digital-signature no", end};
        QTest::newRow("/opt not marked") << "" << good
                                         << QStringList {"E: Config file doesn`t exist in selected directories"} << none
                                         << QStringList();
        QTest::newRow("svfd never starts")
            << ""
            << "svfd_seconds = 0\n"
            << QStringList() << "The process coundnt be continued without svfd, end of process" << QStringList();
        QTest::newRow("key copy fails") << "" << good
                                        << QStringList {"E: Can't copy file /mnt/opt/sarvelin/keys/public-key.pem to "
                                                        "/opt/sarvelin/keys/public-key.pem: Is a directory"}
                                        << none << QStringList();
        // The run never blocks on a master key that is a FIFO.
        QTest::newRow("installed master key is a FIFO")
            << "rm keys/master-key; mkfifo keys/master-key" << good
            << QStringList {"E: Can't copy file /mnt/opt/sarvelin/keys/master-key to "
                            "/opt/sarvelin/keys/master-key: it is a FIFO"}
            << none << QStringList();
        QTest::newRow("installed configuration unreadable")
            << "rm etc/config.file; mkdir etc/config.file" << good
            << QStringList {"E: Can't read config file: /mnt/opt/sarvelin/etc/config.file|it is a directory"} << none
            << QStringList();
    }

    void run()
    {
        QFETCH(QString, edit);
        QFETCH(QString, backup);
        QFETCH(QStringList, shown);
        QFETCH(QString, logged);
        QFETCH(QStringList, config);
        const QString tag = QTest::currentDataTag();

        // The installed /opt as the case wants it, the medium as it came.
        QCOMPARE(runShell("set -e; mkdir -p /tmp/o; mount /dev/sda2 /tmp/o; rm -rf /tmp/o/sarvelin; cp -a "
                          "/tmp/failures/opt/sarvelin "
                          "/tmp/o/; cd /tmp/o/sarvelin; "
                     + edit + "\ncd /; umount /tmp/o; rm -rf /opt/sarvelin/keys/* " + kConfig
                     + "; printf '[local_client]\\nauthorize_after = 0\\n[backup]\\n%s' '" + backup
                     + "' > /opt/sarvelin/standins/scenario.ini; echo ready"),
            QString("ready\n"));
        const QString blocked = tag == "key copy fails" ? kCopiedKeys.last() : QString();
        QVERIFY(blocked.isEmpty() || QDir().mkpath(blocked));

        KeyMaster km;
        KeyMasterTestAccess::shortenScenarioWaits(km, 50);
        km.setNetworkInterface("eth0");
        km.setCrypto("kuznyechik");
        KeyMasterTestAccess::loadDrives(km); // as init does: the run compares the disk with this list
        km.setSelectedDrive("sda");
        km.loadDevicesTree("sda");
        QVERIFY(km.handleSelectedDevicePartition(km.getDevicesTree()->index(0, 0)));
        auto* fstab = static_cast<FsModel*>(km.getFstabModel());
        QCOMPARE(fstab->rowCount(), 2); // / and /opt
        fstab->mark(0, true);
        fstab->mark(1, tag != "/opt not marked");

        QStringList seen;
        for (auto signal : {&Notifier::hasError, &Notifier::hasInfo, &Notifier::hasWarning})
            connect(
                Notifier::getInstance(), signal, this, [&seen, signal](const QString& text, const QString& details) {
                    seen << QString(signal == &Notifier::hasError  ? "E: "
                                    : signal == &Notifier::hasInfo ? "I: "
                                                                   : "W: ")
                            + text + (details.isEmpty() ? "" : "|" + details);
                });
        QSignalSpy ended(&km, &KeyMaster::creatingBackupEnded);
        link_test::logLines().clear();
        km.createBackup();
        Notifier::getInstance()->disconnect(this);

        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toBool(), !config.isEmpty());
        QCOMPARE(seen, shown);
        QVERIFY2(!(link_test::logLines() + lines("/opt/sarvelin/standins/calls.log")).filter(logged).isEmpty(),
            qPrintable(logged));
        QVERIFY(km.runStage().isEmpty() && endedCleanly());
        // No key copy left; the empty key written for a missing one stays.
        const bool emptyKey = tag == "no master key";
        for (const QString& key : kCopiedKeys)
            QVERIFY2(
                QFile::exists(key) == ((emptyKey && key == kCopiedKeys.first()) || key == blocked), qPrintable(key));
        QFile key(kCopiedKeys.first());
        if (emptyKey)
            QVERIFY(km.getCrypto() == "nocrypt" && key.open(QIODevice::ReadOnly)
                && key.readAll() == QByteArray(32, '\0') && mode(key.fileName()) == 0600);
        QCOMPARE(lines(kConfig), config.isEmpty() ? QStringList {"<no " + kConfig + ">"} : config);
        QVERIFY(config.isEmpty() || mode(kConfig) == 0600);
        QVERIFY(blocked.isEmpty() || QDir(blocked).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(BackupFailuresTest)

#include "tst_backup_failures.moc"
