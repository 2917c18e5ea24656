// The backup run's endings through the controller, one case per row, on an
// installed system with a separate /opt whose content each case adjusts,
// with the stand-ins answering as the case says. For each: what the operator
// was shown, the result, and that the one ending ran (nothing mounted below
// /mnt, the copied keys gone, the client configuration gone after a failure,
// the local client stopped).

#include "backup_checks.h"
#include "fsmodel.h"
#include "keymaster.h"
#include "notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>

using namespace backup_checks;

class KeyMasterTestAccess
{
public:
    static void setScenarioTimeDivisor(KeyMaster& k, int divisor) { k.scenarioTimeDivisor = divisor; }
};

namespace {

QStringList g_log;

void collect(QtMsgType, const QMessageLogContext&, const QString& message) { g_log << message; }

// "text" or "text|fragment of the details" of each notification in `spy`.
QStringList shown(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& call : spy)
        out << call.at(0).toString() + (call.at(1).toString().isEmpty() ? QString() : "|" + call.at(1).toString());
    return out;
}

const QStringList kConfigHead = {"node client", "who-is-primary-server backup.example.lan"};
const QStringList kConfigMiddle = {"logfile /opt/sarvelin/log/Sarvelin.log", "client-inet-interface eth0"};
const QStringList kConfigDedup = {"parallelizm 8", "svd_algorithm sha2", "svd_block_size 16384", "svd_hash_length 256"};
const QString kConfigEnd = "client-shutdown_scenario cancel-if-tasks";

} // namespace

class BackupFailuresTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariable("SV_SANDBOX_INSIDE") == "1", "needs the simulated medium and the stand-ins");
        qInstallMessageHandler(collect);
    }

    void run_data()
    {
        QTest::addColumn<QString>("edit");      // shell lines run in the installed /opt/sarvelin
        QTest::addColumn<QString>("backup");    // the stand-ins' [backup] section and more
        QTest::addColumn<bool>("markOpt");
        QTest::addColumn<QString>("blocked");   // a folder put in the way of a copy on the medium
        QTest::addColumn<int>("divisor");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QStringList>("infos");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QStringList>("config"); // the medium's configuration after a good run

        const QString good = "svfd_seconds = 1\nstatus = 2, 5\n";
        const QStringList none;
        const QStringList fullConfig = kConfigHead + QStringList{"who-is-secondary-server backup2.example.lan"}
                                       + kConfigMiddle + QStringList{"use-local-backup-directory /sarvelin_tmp"}
                                       + kConfigDedup
                                       + QStringList{"digital-signature yes", "digital-sign-hash sha256", kConfigEnd};
        QTest::newRow("no master key")
            << "rm keys/master-key" << good << true << "" << 50 << true
            << QStringList{"Sarvelin master key doesn't exist in original system|Generate empty master key. Even you "
                           "choose crypto algorithm, rescue image will be uncrypted"}
            << none << "sv_archives -c /dev/sda -m rescue_image -a nocrypt" << fullConfig;
        QTest::newRow("no signature keys, no secondary server, local folder set")
            << "rm keys/secret-key.pem keys/public-key.pem\n"
               "sed -i -e '/secondary/d' -e 's|^use-local-backup-directory .*|use-local-backup-directory /tmp|' etc/config.file"
            << good << true << "" << 50 << true << none
            << QStringList{"Secret digital signature key doesn't exist in original system",
                           "Public digital signature key doesn't exist in original system"}
            << "Copy master key"
            << kConfigHead + kConfigMiddle + QStringList{"use-local-backup-directory /tmp"} + kConfigDedup
                   + QStringList{"digital-signature no", kConfigEnd};
        QTest::newRow("/opt not marked")
            << "" << good << false << "" << 50 << false
            << QStringList{"Config file doesn`t exist in selected directories"} << none << "" << none;
        QTest::newRow("archive tool fails")
            << "" << "sv_archives = exit_error\n" << true << "" << 50 << false
            << QStringList{"Can't start a backup, sv_archives has problems|Rescue image of /dev/sda, cipher kuznyechik\n"
                           "Task wasn't added: the client is not authorized by the server\n"}
            << none << "" << none;
        QTest::newRow("archive tool without the queue marker")
            << "" << "sv_archives = no_marker\n" << true << "" << 50 << false
            << QStringList{"Wrong response from server. See log and journal for more info|Rescue image of /dev/sda, "
                           "cipher kuznyechik\nServer answer: task refused, storage pool is full\n"}
            << none << "" << none;
        QTest::newRow("svfd never starts")
            << "" << "svfd_seconds = 0\n" << true << "" << 50 << false << none << none
            << "The process coundnt be continued without svfd, end of process" << none;
        QTest::newRow("bad final status")
            << "" << "svfd_seconds = 1\nstatus = 2, 8\n" << true << "" << 50 << false << none << none
            << "Got bad status of task: Task finished with error" << none;
        QTest::newRow("status never final")
            << "" << "svfd_seconds = 1\nstatus = 2\n" << true << "" << 200 << false << none << none
            << "Can`t get one of supported statuses of task" << none;
        QTest::newRow("status request fails")
            << "" << good + "\n[fault 1]\nrequest = ASK LAST BACKUP STATUS\nkind = wrong_keyword\ntext = BUSY\n"
            << true << "" << 50 << false << none << none << "Got bad status of task: Task finished with wrong status"
            << none;
        QTest::newRow("key copy fails")
            << "" << good << true << "/opt/sarvelin/keys/public-key.pem" << 50 << false
            << QStringList{"Can't copy file /mnt/opt/sarvelin/keys/public-key.pem to "
                           "/opt/sarvelin/keys/public-key.pem: Is a directory"}
            << none << "" << none;
        QTest::newRow("installed configuration unreadable")
            << "rm etc/config.file && mkdir etc/config.file" << good << true << "" << 50 << false
            << QStringList{"Can't read config file: /mnt/opt/sarvelin/etc/config.file|file to open is a directory"} << none << "" << none;
    }

    void run()
    {
        QFETCH(QString, edit);
        QFETCH(QString, backup);
        QFETCH(bool, markOpt);
        QFETCH(QString, blocked);
        QFETCH(int, divisor);
        QFETCH(bool, result);
        QFETCH(QStringList, errors);
        QFETCH(QStringList, infos);
        QFETCH(QString, logged);
        QFETCH(QStringList, config);

        // The installed /opt as the case wants it; the medium as it came.
        QCOMPARE(shell("set -e; mkdir -p /tmp/optedit; mount /dev/sda2 /tmp/optedit; rm -rf /tmp/optedit/sarvelin;"
                       " cp -a /tmp/failures/opt/sarvelin /tmp/optedit/; cd /tmp/optedit/sarvelin; " + edit +
                       "\ncd /; umount /tmp/optedit; rm -rf /opt/sarvelin/keys/* /opt/sarvelin/etc/config.file;"
                       " printf '[local_client]\\nauthorize_after = 0\\n\\n[backup]\\n%s' '" + backup +
                       "' > /opt/sarvelin/standins/scenario.ini; echo ready"),
                 QString("ready\n"));
        if (!blocked.isEmpty())
            QVERIFY(QDir().mkpath(blocked));

        KeyMaster km;
        KeyMasterTestAccess::setScenarioTimeDivisor(km, divisor);
        km.setNetworkInterface("eth0");
        km.setCrypto("kuznyechik");
        km.setSelectedDrive("sda");
        km.loadDevicesTree("sda");
        QVERIFY(km.handleSelectedDevicePartition(km.getDevicesTree()->index(0, 0)));
        auto* fstab = static_cast<FsModel*>(km.getFstabModel());
        QCOMPARE(fstab->rowCount(), 2);
        fstab->mark(0, true);
        if (markOpt)
            fstab->mark(1, true);

        QSignalSpy errorSpy(Notifier::getInstance(), &Notifier::hasError);
        QSignalSpy infoSpy(Notifier::getInstance(), &Notifier::hasInfo);
        QSignalSpy ended(&km, &KeyMaster::creatingBackupEnded);
        g_log.clear();
        km.createBackup();

        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toBool(), result);
        QCOMPARE(shown(errorSpy), errors);
        QCOMPARE(shown(infoSpy), infos);
        if (!logged.isEmpty())
            QVERIFY2(!(g_log + lines("/opt/sarvelin/standins/calls.log")).filter(logged).isEmpty(),
                     qPrintable(logged));
        QCOMPARE(km.runStage(), QString());

        // The ending: nothing mounted, no copy of a key left, the client stopped.
        QCOMPARE(mountsBelowMnt(), QStringList());
        const bool emptyKey = QTest::currentDataTag() == QLatin1String("no master key");
        for (const QString& key : kCopiedKeys)
            QVERIFY2(QFile::exists(key) == (emptyKey && key.endsWith("master-key")) || key == blocked, qPrintable(key));
        if (emptyKey) {
            QCOMPARE(km.getCrypto(), QString("nocrypt"));
            QFile key(kCopiedKeys.first());
            QVERIFY(key.open(QIODevice::ReadOnly));
            QCOMPARE(key.readAll(), QByteArray(32, '\0'));
            QCOMPARE(mode(key.fileName()), 0600);
        }
        if (result) {
            QCOMPARE(lines(kConfig), config);
            QCOMPARE(mode(kConfig), 0600);
        } else {
            QVERIFY(!QFile::exists(kConfig));
        }
        QVERIFY(clientStopped());
        if (!blocked.isEmpty())
            QVERIFY(QDir(blocked).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(BackupFailuresTest)

#include "tst_backup_failures.moc"
