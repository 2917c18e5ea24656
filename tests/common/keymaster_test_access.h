// The controller's one test seam: KeyMaster names this class its friend.
// Tests and benches reach its internals only through it (two definitions of
// it linked into one program would be undefined behaviour).
#ifndef SV_TESTS_KEYMASTER_TEST_ACCESS_H
#define SV_TESTS_KEYMASTER_TEST_ACCESS_H

#include "keymaster.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class KeyMasterTestAccess
{
public:
    // --- state the tests set or read
    static void setInterfaces(KeyMaster& k, const QStringList& interfaces) { k.m_interfaces = interfaces; }
    // Divides the scenarios' production waits (sleeps and polls).
    static void shortenScenarioWaits(KeyMaster& k, int divisor) { k.scenarioTimeDivisor = divisor; }
    static void setPollBudget(KeyMaster& k, int polls) { k.clientCheckPollBudget = polls; }
    static void setMutexWait(KeyMaster& k, int seconds) { k.clientMutexWaitSeconds = seconds; }
    static bool mutexOpen(KeyMaster& k) { return k.clientMutexOpen(); }
    static bool answerQueueOpen(KeyMaster& k) { return k.answerQueueOpen(); }
    static bool requestQueueOpen(KeyMaster& k) { return k.requestQueueOpen(); }
    static bool clientStartedHere(const KeyMaster& k) { return k.clientStartedHere; }
    static std::string lastTaskId(const KeyMaster& k) { return k.lastTaskId; }
    static ResqueArchivesModel& archivesModel(KeyMaster& k) { return k.resqueArchivesModel; }
    static std::vector<std::string>& temporaryFiles(KeyMaster& k) { return k.temporaryFiles; }
    static void setOs(KeyMaster& k, const QString& os) { k.setOs(os); }

    // --- internal steps
    static void checkClient(KeyMaster& k) { k.checkClient(); }
    static void loadDrives(KeyMaster& k) { k.loadDrives(); }
    static QString getDevicePath(KeyMaster& k, const QString& uuid) { return k.getDevicePath(uuid); }
    static bool updateUsedHostname(KeyMaster& k, const QString& name) { return k.updateUsedHostname(name); }
    static QString installedFilePath(const QString& path) { return KeyMaster::installedFilePath(path); }
    static bool clearLvmOnDrive(KeyMaster& k, const QString& drive) { return k.clearLvmOnDrive(drive); }
    static bool startSvArchives(KeyMaster& k) { return k.startSvArchives(); }
    static bool didBackupEndFine(KeyMaster& k) { return k.didBackupEndFine(); }
    static bool didRestoreEndFine(KeyMaster& k) { return k.didRestoreEndFine(); }

    // --- the local client and the daemon link steps
    using OperationScope = KeyMaster::OperationScope;
    using ClientMutexLock = KeyMaster::ClientMutexLock;
    static void setClientPause(KeyMaster& k, int milliseconds) { k.clientPauseMs = milliseconds; }
    static std::string hashPassword(const QString& password) { return KeyMaster::hashPassword(password); }
    static bool startSarvelinClient(KeyMaster& k) { return k.startSarvelinClient(); }
    static bool startSarvelinClientWithCheck(KeyMaster& k) { return k.startSarvelinClientWithCheck(); }
    static bool stopSarvelinClient(KeyMaster& k) { return k.stopSarvelinClient(); }
    static bool messageQueuesConnect(KeyMaster& k) { return k.messageQueuesConnect(); }
    static bool messageQueuesClose(KeyMaster& k) { return k.messageQueuesClose(); }
    static bool lockClientMutex(KeyMaster& k) { return k.lockClientMutex(); }
    static bool helloDaemon(KeyMaster& k, const QString& server) { return k.helloDaemon(server); }
    static bool svkey_authentication(KeyMaster& k, const std::string& hash) { return k.svkey_authentication(hash); }
    static bool svkey_client_authentication(KeyMaster& k, const std::string& client, const std::string& hash)
    {
        return k.svkey_client_authentication(client, hash);
    }
    static bool disconnect(KeyMaster& k) { return k.disconnect(); }
    static void ask_client_list(KeyMaster& k, QMap<QString, QString>& clients) { k.ask_client_list(clients); }
    static void ask_archives(KeyMaster& k, std::vector<sv_archive_short>& list, const std::string& hwid)
    {
        k.ask_archives(list, hwid);
    }
    static bool askDisasterRecoveryPlan(KeyMaster& k, const std::string& hwid)
    {
        return k.askDisasterRecoveryPlan(hwid);
    }
    static bool launchRestoreArchive(KeyMaster& k, const std::string& hash, const std::string& device)
    {
        return k.launchRestoreArchive(hash, device);
    }
    static unsigned int getTaskStatus(KeyMaster& k, const std::string& request) { return k.getTaskStatus(request); }
    // The real link over the Boost queues and the named mutex.
    static std::unique_ptr<DaemonLink> realDaemonLink() { return KeyMaster::realDaemonLink(); }

    // --- the channel's single steps (one exchange: send, answer, payload)
    using Exchange = KeyMaster::LinkExchange;
    static Exchange beginExchange(const KeyMaster& k) { return k.beginExchange(); }
    static bool sendRequest(KeyMaster& k, Exchange& exchange, const std::string& text)
    {
        return k.sendRequest(exchange, text) == KeyMaster::LinkStep::Done;
    }
    static bool receiveAnswer(KeyMaster& k, Exchange& exchange)
    {
        return k.receiveAnswer(exchange) == KeyMaster::LinkStep::Done;
    }
    static bool receivePayload(KeyMaster& k, Exchange& exchange, std::string& payload)
    {
        return k.receivePayload(exchange, payload) == KeyMaster::LinkStep::Done;
    }
};

#endif // SV_TESTS_KEYMASTER_TEST_ACCESS_H
