#ifndef KEYMASTER_H
#define KEYMASTER_H

// The one controller of the tool. main creates a single instance and
// publishes it to QML as "KeyMaster"; the pages read its properties, write the
// operator's choices into them and call its slots.
//
// The class is implemented by concern, one file each:
//   keymaster_core.cpp        construction, init checks, lists, clean-up, exit
//   keymaster_inspection.cpp  inspection of the installed system
//   keymaster_client.cpp      local client process control
//   keymaster_channel.cpp     message-queue channel to the key client daemon
//   keymaster_requests.cpp    requests over that channel, backup and restore
//   keymaster_restore.cpp     the restore scenario
//   keymaster_backup.cpp      the backup scenario
//   keymaster_operation.cpp   the one running operation, waits, leaving
//
// The public part is what QML and main use: the properties, the signals, the
// slots and the invokable methods. The internal steps follow in the private
// part, grouped by concern under a comment naming it; the tests reach them
// through the one friend, KeyMasterTestAccess (tests/common). The order of
// the Q_PROPERTY lines, of the signals and of the public slots is the
// meta-object order the pages rely on: add new slots at the marked places.

#include <QAbstractItemModel>
#include <QMap>
#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

// Key client link: the archives model, the recovery-plan manager, the
// link to the daemon (message queues and named mutex) on its own thread.
#include <memory>
#include <boost/date_time/posix_time/ptime.hpp>
#include "daemon_link.h"
class LinkThread;
#include "drpmanager.h"
#include "resquearchivesmodel.h"

// Master-key handling.
#include "cryptkeyhandler.h"

// command runner
#include "command_runner.h"

// Inspection of the installed system: the devices tree and the fstab model.
#include "devicestree.h"
#include "fsmodel.h"

class SVcoreConfig;

class KeyMaster : public QObject
{
    Q_OBJECT

    Q_PROPERTY(QString os READ getOs NOTIFY osChanged)
    Q_PROPERTY(QString hostname READ getHostname WRITE setHostname NOTIFY hostnameChanged)
    Q_PROPERTY(
        QString networkInterface READ getNetworkInterface WRITE setNetworkInterface NOTIFY networkInterfaceChanged)
    Q_PROPERTY(QString crypto READ getCrypto WRITE setCrypto NOTIFY cryptoChanged)
    Q_PROPERTY(QString selectedDrive READ getSelectedDrive WRITE setSelectedDrive NOTIFY selectedDriveChanged)
    Q_PROPERTY(unsigned int cmdPort READ getCmdPort WRITE setCmdPort NOTIFY cmdPortChanged)
    Q_PROPERTY(unsigned int mediaPort READ getMediaPort WRITE setMediaPort NOTIFY mediaPortChanged)
    Q_PROPERTY(
        QString sarvelinServerIp READ getSarvelinServerIp WRITE setSarvelinServerIp NOTIFY sarvelinServerIpChanged)
    Q_PROPERTY(QStringList clientNames READ getClientNames NOTIFY clientsChanged)
    Q_PROPERTY(QString recoveringClient READ getRecoveringClient NOTIFY recoveringClientChanged)
    Q_PROPERTY(QAbstractItemModel* devicesTree READ getDevicesTree NOTIFY devicesTreeChanged)
    Q_PROPERTY(QAbstractItemModel* fstabModel READ getFstabModel NOTIFY fstabModelChanged)
    Q_PROPERTY(QAbstractItemModel* resqueArchivesModel READ getResqueArchivesModel NOTIFY resqueArchivesModelChanged)
    Q_PROPERTY(CryptKeyHandler* cryptKeyHandler READ cryptKeyHandler CONSTANT)
    Q_PROPERTY(bool serverConnected READ isServerConnected NOTIFY serverConnectedChanged)
    // One translated line naming the stage a running scenario is in; empty
    // while none runs.
    Q_PROPERTY(QString runStage READ runStage NOTIFY runStageChanged)
    // The operation running now (Idle when none); the pages disable what
    // cannot be done meanwhile through `busy`.
    Q_PROPERTY(Operation operation READ operation NOTIFY operationChanged)
    Q_PROPERTY(bool busy READ isBusy NOTIFY operationChanged)
    // What runs now, one translated line for the exit question; empty when
    // nothing runs that leaving would stop.
    Q_PROPERTY(QString operationText READ operationText NOTIFY operationChanged)

    // Lets the test suites reach the internal state and steps.
    friend class KeyMasterTestAccess;

public:
    enum class Operation {
        Idle,
        Starting,
        Inspecting,
        Connecting,
        Disconnecting,
        LoadingClient,
        BackingUp,
        Restoring,
        WaitingForAnswer
    };
    Q_ENUM(Operation)

    explicit KeyMaster(QObject* parent = nullptr);
    // daemon link: the controller with another link than the real one (the
    // tests' double); its calls run on the controller's link thread.
    KeyMaster(std::unique_ptr<DaemonLink> link, QObject* parent = nullptr);
    ~KeyMaster() override;

    // --- property accessors and setters (a setter stores and emits only on change)
    QString getOs() const { return os; }
    QString getHostname() const { return hostname; }
    void setHostname(const QString& value);
    QString getNetworkInterface() const { return networkInterface; }
    void setNetworkInterface(const QString& value);
    QString getCrypto() const { return crypto; }
    void setCrypto(const QString& value);
    QString getSelectedDrive() const { return selectedDrive; }
    void setSelectedDrive(const QString& value);
    unsigned int getCmdPort() const { return cmdPort; }
    void setCmdPort(unsigned int value);
    unsigned int getMediaPort() const { return mediaPort; }
    void setMediaPort(unsigned int value);
    QString getSarvelinServerIp() const { return sarvelinServerIp; }
    void setSarvelinServerIp(const QString& value);
    QStringList getClientNames() const { return clientNames; }
    QString getRecoveringClient() const { return recoveringClient; }
    bool isServerConnected() const { return serverConnected; }
    QString runStage() const { return m_runStage; }
    Operation operation() const { return m_operation; }
    bool isBusy() const { return m_operation != Operation::Idle; }
    QString operationText() const;

    // What the disk with kernel name `drive` (such as "sda") is, as one short
    // translated text: size, model and serial where known; empty when the
    // disk list did not describe it. Read with the disk list (loadDrives).
    Q_INVOKABLE QString driveIdentity(const QString& drive) const;
    // The operator's answer to needConfirmRestoreLVM.
    Q_INVOKABLE void answerRestoreLVM(bool confirmed);

    // --- master-key handler (owned through Qt parenthood; main and QML)
    CryptKeyHandler* cryptKeyHandler() const { return m_cryptKeyHandler; }
    // --- recovery-plan manager (owned through Qt parenthood; main)
    DrpManager* drpManager() const { return m_drpManager; }

signals:
    void osChanged();
    void hostnameChanged();
    void networkInterfaceChanged();
    void cryptoChanged();
    void selectedDriveChanged();
    void devicesTreeChanged();
    void fstabModelChanged();
    void resqueArchivesModelChanged();
    void cmdPortChanged();
    void mediaPortChanged();
    void sarvelinServerIpChanged();
    void clientsChanged();
    void recoveringClientChanged();
    void serverConnectedChanged();
    void needEnterClientPassword();
    // The LVM clean-up of a restore asks before it removes anything:
    // `question` lists what would be removed; the answer comes through
    // answerRestoreLVM.
    void needConfirmRestoreLVM(const QString& question);
    void creatingBackupEnded(bool success);
    void restoreEnded(bool success);
    void runStageChanged();
    void operationChanged();

public slots:
    void init();
    // Devices tree: returns the current tree, null before the first loadDevicesTree.
    QAbstractItemModel* getDevicesTree() { return devicesTree; }
    // Fstab model: the member model.
    QAbstractItemModel* getFstabModel() { return &fstabModel; }
    // Rescue archives model: the member model.
    QAbstractItemModel* getResqueArchivesModel() { return &resqueArchivesModel; }
    QStringList interfaces() const { return m_interfaces; }
    QStringList drives() const { return m_drives; }
    QStringList cryptoAlgorithms() const { return m_cryptoAlgorithms; }
    QString defaultCryptKeyDir() const;

    // --- inspection of the installed system (keymaster_inspection.cpp)
    void loadDevicesTree(QString device);
    bool handleSelectedDevicePartition(QModelIndex index);

    // --- restore scenario: connection (keymaster_restore.cpp)
    void connectToRestoreServer(QString serverIp, QString inputedPassword);
    void disconnectFromRestoreServer();

    // --- backup scenario (keymaster_backup.cpp): the whole run; ends with
    // creatingBackupEnded
    void createBackup();

    // --- restore scenario: client choice and the run (keymaster_restore.cpp)
    void loadRecoveringClientData(QString clientData);
    void handleSelectedResqueArchive(QModelIndex index);
    void restore(QString clientPassword);

    // The operator leaves: a running operation is stopped through its own
    // ending (which unmounts); otherwise everything mounted is unmounted now.
    void exitHandler();
    void handleScenarioEnding();

    // --- restore scenario: the key password (also called by connect)
    void handlePassword(QString serverIp, QString inputedPassword);

private:
    // --- daemon link steps (keymaster_channel.cpp, keymaster_requests.cpp,
    // keymaster_client.cpp): internal steps of the scenarios.
    bool startSarvelinClient();
    bool startSarvelinClientWithCheck();
    bool stopSarvelinClient();
    bool messageQueuesConnect();
    bool messageQueuesClose();
    // Opens the mutex if needed and takes it, waiting at most
    // clientMutexWaitSeconds; failure is shown and the result is false.
    bool lockClientMutex();
    // Holds the named mutex for one scope (connect, disconnect, restore
    // run). Nested scopes share the outer lock.
    class ClientMutexLock
    {
    public:
        explicit ClientMutexLock(KeyMaster& keyMaster);
        ~ClientMutexLock();
        bool isLocked() const { return m_keyMaster.clientMutexLocked; }
        ClientMutexLock(const ClientMutexLock&) = delete;
        ClientMutexLock& operator=(const ClientMutexLock&) = delete;

    private:
        KeyMaster& m_keyMaster;
        bool m_locked;
    };
    // Marks one operation called by a page as running, for its scope. A
    // second one is refused (granted() false) with a warning that says why.
    class OperationScope
    {
    public:
        OperationScope(KeyMaster& keyMaster, Operation operation, const char* name);
        ~OperationScope();
        bool granted() const { return m_granted; }
        OperationScope(const OperationScope&) = delete;
        OperationScope& operator=(const OperationScope&) = delete;

    private:
        KeyMaster& m_keyMaster;
        bool m_granted;
    };
    // MD5-crypt of the password with the fixed salt; what the requests send.
    static std::string hashPassword(const QString& password);
    bool helloDaemon(QString serverIp);
    bool svkey_authentication(std::string hash);
    bool svkey_client_authentication(std::string clientName, std::string hash);
    // Ends the daemon's server connection. The name hides QObject's
    // disconnect overloads inside KeyMaster: write QObject::disconnect(...)
    // for signal connections there.
    bool disconnect();
    void ask_client_list(QMap<QString, QString>& clientMap);
    void ask_archives(std::vector<sv_archive_short>& archiveList, std::string hwid);
    bool askDisasterRecoveryPlan(std::string hwid);
    bool launchRestoreArchive(std::string hash, std::string device);
    unsigned int getTaskStatus(std::string request);

    // --- property setters that only the controller calls
    void setOs(const QString& value);
    void setRecoveringClient(const QString& value);
    void setServerConnected(bool value);
    void setRunStage(const QString& text);

    // --- controller core (keymaster_core.cpp): start-up checks, lists,
    // lookups, clean-up
    void checkClient();
    void loadDrives();
    void loadInterfaces();
    QString getDevicePath(QString uuid);
    void deleteTemporaryFiles();
    // Marks an object handed to QML as owned by C++: QML never deletes it.
    static void keepCppOwnership(QObject* object);
    // The same text as driveIdentity read anew from the system now (empty
    // when unknown), for a check just before the disk is written to.
    QString readDriveIdentity(const QString& drive);
    // Size in bytes, model and serial of one disk as the system reports them.
    struct DriveFacts
    {
        qulonglong size = 0;
        QString model;
        QString serial;
    };
    // Reads the facts of `drive`, or of every disk when it is empty.
    QMap<QString, DriveFacts> readDriveFacts(const QString& drive);
    static QString describeDrive(const DriveFacts& facts);

    // --- running programs and waiting (keymaster_core.cpp)
    // Waits `productionMilliseconds` (shortened by scenarioTimeDivisor)
    // while the window keeps processing events; false, at once, when the
    // operator leaves.
    bool scenarioSleep(int productionMilliseconds);
    // Runs `program` with `arguments` (no shell) through the command runner
    // and waits at most `timeoutMilliseconds` for its end while the window
    // keeps processing events; its standard output goes to *output when
    // given (standard error to the log and to *result), or both streams into
    // the file `outputFile` (truncated) when that is named. Returns the exit
    // code, or -1 when it could not start, crashed or ran out of time (it is
    // then killed).
    int runProgram(const QString& program, const QStringList& arguments, QString* output, int timeoutMilliseconds,
        const QString& outputFile = QString(), CommandResult* result = nullptr);

    // --- inspection of the installed system (keymaster_inspection.cpp)
    // The partition of a device-tree row and its device number.
    struct ChosenPartition;
    // Checks the clicked row: a partition of the current tree, with a UUID
    // and a device of its own carrying it; false after a warning.
    bool resolveChosenPartition(const QModelIndex& index, ChosenPartition* chosen);
    bool checkOs();
    bool checkHostname();
    bool checkConfig();
    bool loadFSTAB();
    bool updateUsedHostname(QString name);
    // Path below "/mnt" of the installed system's file `path` (absolute, as the
    // installed system sees it), with symbolic links followed inside "/mnt";
    // empty when the links loop.
    static QString installedFilePath(const QString& path);

    // --- backup scenario (keymaster_backup.cpp)
    bool createBackupPrivate();
    bool startSvArchives();
    bool waitSvfd();
    bool didBackupEndFine();
    // The exit of a failed step: shows `message` (when not empty) as an
    // error with `details` and returns false. The run's ending itself (the
    // temporary files deleted, then what the fstab model mounted unmounted)
    // is the scope guard of createBackupPrivate, on every exit.
    bool backupStepFailed(const QString& message = QString(), const QString& details = QString());
    // Copies the installed system's key file `name` into the rescue medium's
    // keys folder (0600, listed as temporary) and logs `logLine`. False when
    // the installed system has none (after the info `missingText`) or when
    // the copy failed (*error then names the files).
    bool copyInstalledKey(const QString& name, const char* logLine, const char* missingText, QString* error);
    // Runs "pgrep svfd -c", logs what its exit code means and returns it.
    int findSvfd();
    // Steps of createBackupPrivate taking over the installed system's files;
    // each returns the error to show, empty when the step went well.
    QString takeOverMachineId();
    QString takeOverMasterKey();
    // Copies both signature keys; one that is missing turns signing off.
    QString takeOverSignatureKeys(SVcoreConfig& config);
    // Writes the rescue medium's client configuration from `config` and
    // names the local backup folder in *localDir.
    QString writeClientConfig(SVcoreConfig& config, QString* localDir);
    // The end of a backup or restore run: stops the local client and, after
    // a failed run, removes what the run left (handleScenarioEnding).
    void releaseLocalClient(bool runSucceeded);

    // --- restore scenario (keymaster_restore.cpp)
    bool restorePrivate(QString clientPassword);
    bool didRestoreEndFine();
    void updateClientList(const QMap<QString, QString>& clientMap);
    void clearClientList();
    void clearResqueModel();
    // Removes the LVM structures on the target disk after the operator
    // agreed; false when refused, cancelled, unreadable or a removal failed.
    bool clearLvmOnDrive(const QString& drive);
    // Starts the local client unless this tool did, then waits a second.
    // False when a start was needed and failed.
    bool startClientForRestore();
    // Waits (bounded, events processed) until the daemon's mutex and queues
    // can be opened after the client was started; false when leaving.
    bool waitForDaemonLink();
    // Ends the daemon's server connection and forgets the client list (the
    // disconnect of the server page and the end of a restore).
    void disconnectPrivate();
    // Waits for the operator's answer to needConfirmRestoreLVM.
    bool confirmLvmRemoval(const QString& question);
    // Reads the identity of the target disk again; false, after an error,
    // when it is no longer the disk the operator chose from the list.
    bool targetDriveUnchanged();
    // Whether `pv` (a device path) is the disk `drive` or one of its partitions.
    static bool isOnDrive(const QString& pv, const QString& drive);
    enum class LvmAnswer { None, Yes, No };

    // --- the running operation and its waits (keymaster_operation.cpp)
    // Waits `milliseconds` while the window keeps processing events.
    // Returns false, at once, when the operator leaves (stopRequested).
    bool waitProcessingEvents(int milliseconds);
    // Waits until `done` is true or `milliseconds` passed, processing events
    // and sleeping in between (never spinning, also while the application
    // quits). A `stoppable` wait also ends when the operator leaves. True
    // when `done` became true.
    bool waitUntil(const std::function<bool()>& done, int milliseconds, bool stoppable);
    void processEventsOnce();
    // True once the operator chose to leave while an operation ran: every
    // stoppable wait ends and the operation goes through its ending.
    bool stopRequested() const { return m_stopRequested; }
    // Sets the state; the restore switches to WaitingForAnswer and back
    // around its LVM question.
    void setOperation(Operation operation);
    // Drops the operator's input that was queued while the window could not
    // process it (a blocking exchange), so that it is not replayed against a
    // page that has changed meanwhile.
    void dropQueuedInput();

    // --- message-queue channel (keymaster_channel.cpp)
    // Opens the named mutex unless it is open. A missing mutex is shown as
    // an error (unless quiet) and the result is false; the tool goes on.
    bool openClientMutex(bool quiet = false);
    void unlockClientMutex();
    // daemon link: the thread that owns the link and makes its blocking
    // calls (it gives the named mutex back if the controller ends holding
    // it). onLink runs `work` there and waits for it while this thread
    // processes its events; what `work` threw is thrown again here.
    static std::unique_ptr<DaemonLink> realDaemonLink();
    void onLink(const std::function<void(DaemonLink&)>& work);
    void dropStaleAnswers();
    void closeAfterTimeout();
    bool answerQueueOpen();
    bool requestQueueOpen();
    bool clientMutexOpen();
    static constexpr std::size_t kLinkBufferSize = 102400;
    static constexpr long kLinkDeadlineSeconds = 10;
    // One request exchange: the zero-filled receive buffer, the deadline
    // shared by the send and every receive, the length last received and
    // the queue library's text of the last error.
    struct LinkExchange
    {
        std::vector<char> buffer;
        std::size_t received = 0;
        boost::posix_time::ptime deadline;
        std::string libraryError;
        // The answer as text: up to its first zero byte or its received
        // length, never past the buffer.
        std::string answer() const;
        bool answerStartsWith(const char* keyword) const;
    };
    enum class LinkStep { Done, TimedOut, LibraryError };
    enum class LinkWording { KeyClient, Client };
    LinkExchange beginExchange() const;
    LinkStep sendRequest(LinkExchange& exchange, const std::string& text);
    LinkStep receiveAnswer(LinkExchange& exchange);
    // Length message, then the payload in one or more parts.
    LinkStep receivePayload(LinkExchange& exchange, std::string& payload);
    static QString linkSendFailureText(LinkWording wording);
    static QString linkReceiveFailureText(LinkWording wording);

    // --- requests over the channel (keymaster_requests.cpp)
    // Reports a failed step of a client-wording request: a timeout of the
    // send or receive, or a queue-library error (shown as a receive failure).
    void reportClientLinkFailure(LinkStep step, bool sending, const LinkExchange& exchange);
    // Sends `text` and receives the answer; a failed step is reported as
    // above and the result is false.
    bool exchangeWithClient(LinkExchange& exchange, const std::string& text);
    // Receives a list payload; a failed step is reported as above.
    bool receiveClientPayload(LinkExchange& exchange, std::string& payload);
    // The same exchange for the key-client wording (greeting, disconnect):
    // refused while the queues are closed or answers are left unread
    // (`busyText`); a queue-library error is shown after `libraryErrorText`.
    bool exchangeWithKeyClient(
        LinkExchange& exchange, const std::string& text, const QString& busyText, const QString& libraryErrorText);

    // --- state: the inspection and the operator's choices
    // Tree of the partitions of the selected disk, owned; replaced by each
    // loadDevicesTree.
    DevicesTree* devicesTree = nullptr;
    // fstab entries of the inspected system, with their mount state.
    FsModel fstabModel;
    // Device number of the root partition the last inspection accepted; the
    // run mounts the fstab again and refuses another file system on "/mnt".
    quint64 inspectedRootDevice = 0;
    std::vector<std::string> temporaryFiles;
    QStringList m_drives;
    QStringList m_interfaces;
    QStringList m_cryptoAlgorithms;
    // Facts of every disk of the last disk list, by kernel name.
    QMap<QString, DriveFacts> driveFacts;
    QString os;
    QString hostname;
    QString networkInterface;
    QString crypto;
    QString selectedDrive;
    QString m_runStage;

    // --- state: the restore and the server
    // Rescue-image archives of the chosen client.
    ResqueArchivesModel resqueArchivesModel;
    QStringList clientNames;
    QMap<QString, QString> clients;
    QString recoveringClient;
    QString sarvelinServerIp;
    // Archives of the client being restored.
    std::vector<sv_archive_short> archives;
    // Master-key handler, created with the controller as parent.
    CryptKeyHandler* m_cryptKeyHandler = new CryptKeyHandler(this);
    // Disaster recovery plan manager, created with the controller as parent.
    DrpManager* m_drpManager = new DrpManager(this);
    std::string lastTaskId;
    unsigned int cmdPort = 9991;
    unsigned int mediaPort = 9993;
    bool serverConnected = false;
    LvmAnswer lvmAnswer = LvmAnswer::None;

    // --- state: the local client and the key client link
    bool clientStartedHere = false;
    // Polls of the checked start, one per second (a test shortens it).
    int clientCheckPollBudget = 900;
    // The local client's pauses: between two polls of the checked start,
    // after a start for the restore and before the kill of a stop (a test
    // shortens them).
    int clientPauseMs = 1000;
    bool clientMutexLocked = false;
    int clientMutexWaitSeconds = 10;

    // --- state: the running operation
    Operation m_operation = Operation::Idle;
    bool m_stopRequested = false;
    bool m_exitRequested = false;
    // Waits of the scenarios (sleeps and polls) are given in production
    // milliseconds and divided by this; only the tests raise it.
    int scenarioTimeDivisor = 1;

    // daemon link: the link's thread, which holds the link's handles.
    std::unique_ptr<LinkThread> m_linkThread;
};

#endif // KEYMASTER_H
