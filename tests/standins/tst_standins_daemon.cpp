// The key client daemon stand-in's own life, which the link tests (that run
// every request through the tool) take for granted: queues and mutex exist
// while it runs and are gone after it ends; the scenario files load, and a
// wrong one stops it with a message.
#include <QtTest>

#include <cerrno>

#include <boost/interprocess/ipc/message_queue.hpp>
#include <boost/interprocess/sync/named_mutex.hpp>

#include "scenario.h"
#include "standin_common.h"
#include "standin_harness.h"

namespace bip = boost::interprocess;

class TestDaemon : public QObject {
    Q_OBJECT

    std::unique_ptr<StandinHarness> h;

private slots:
    void cleanup() { h.reset(); }

    void queuesAndMutexLiveWithTheDaemon()
    {
        h = std::make_unique<StandinHarness>();
        QVERIFY(h->ok());
        QVERIFY2(h->startDaemon(), "daemon did not start");
        const int pid = int(h->daemon()->processId());
        QVERIFY(sv_standin::process_alive(pid));
        bip::named_mutex m(bip::open_only, "Sarvelin_SVC_mutex");
        QVERIFY(m.try_lock());
        m.unlock();
        QCOMPARE(bip::message_queue(bip::open_only, "Sarvelin_client_to_SVKEY_MQ").get_max_msg_size(), std::size_t(102400));
        QVERIFY(h->stopDaemon());
        QCOMPARE(h->daemon()->exitCode(), 0);
        QVERIFY(!sv_standin::process_alive(pid));
        // No process id at all is never alive, whatever errno says.
        errno = EPERM;
        QVERIFY(!sv_standin::process_alive(0));
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
        QVERIFY(!shmEntryExists("Sarvelin_client_to_SVKEY_MQ"));
        QVERIFY(!shmEntryExists("sem.Sarvelin_SVC_mutex"));
        QVERIFY(!QFile::exists(h->path("sv_keyclientd.pid")));
    }

    void scenarioFiles()
    {
        const QDir dir(qEnvironmentVariable("SV_SOURCE_DIR") + "/sandbox/scenarios");
        const QStringList files = dir.entryList({"*.ini"}, QDir::Files);
        QVERIFY(files.contains("default.ini"));
        sv_standin::scenario sc;
        std::string error;
        for (const QString& f : files)
            QVERIFY2(sv_standin::load_scenario(dir.filePath(f).toStdString(), sc, error), (f.toStdString() + ": " + error).c_str());
        // A wrong value: the daemon does not start and says why.
        h = std::make_unique<StandinHarness>();
        h->writeScenario({"start = maybe"});
        QVERIFY(!h->startDaemon());
        h->daemon()->waitForFinished(3000);
        QCOMPARE(h->daemon()->exitCode(), 1);
        QVERIFY(h->requestLog().join('\n').contains("unknown [local_client] start 'maybe'"));
        QVERIFY(!shmEntryExists("Sarvelin_SVKEY_to_client_MQ"));
    }
};

QTEST_GUILESS_MAIN(TestDaemon)
#include "tst_standins_daemon.moc"
