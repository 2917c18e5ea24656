// Restore scenario: connecting to the backup server through the key client
// daemon, the client list, the chosen client's archives and plan, and the
// restore run (LVM clean-up of the target disk, the restore request and the
// polling of its status).

#include "keymaster.h"

#include "cryptkeyhandler.h"
#include "medium_disk.h"
#include "notifier.h"
#include "sv_protocol.h"
#include "task_status.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QRegularExpression>

#include <map>
#include <set>

namespace {

const char* const kRescueHostname = "sarvelin-rescue";
// Pause before the first status request and between two of them.
const int kFirstStatusWaitMs = 20000;
const int kStatusPollMs = 10000;
// The LVM tools, run without a shell: names and paths stay single arguments.
// pvs prints one line per physical volume segment, PV|VG|LV (VG and LV
// empty when the volume belongs to no group or holds no logical volume).
const char* const kPvs = "/sbin/pvs";
const char* const kLvremove = "/sbin/lvremove";
const char* const kVgremove = "/sbin/vgremove";
const char* const kPvremove = "/sbin/pvremove";
const int kLvmTimeoutMs = 120000;
// A client started for the restore creates the daemon's mutex and queues
// once its daemon is up, which on a slow machine takes longer than the
// first second; they are looked for again at this pace, this long.
const int kDaemonStartMs = 30000;
const int kDaemonPollMs = 250;

QString joined(const std::set<QString>& values)
{
    QStringList list;
    for (const QString& v : values)
        list << v;
    return list.join(QStringLiteral(", "));
}

} // namespace

// --- client list and archives model

void KeyMaster::updateClientList(const QMap<QString, QString>& clientMap)
{
    clientNames.clear();
    for (auto it = clientMap.cbegin(); it != clientMap.cend(); ++it)
        clientNames.append(it.value() + QLatin1Char('{') + it.key() + QLatin1Char('}'));
    setRecoveringClient(QString());
    emit clientsChanged();
}

void KeyMaster::clearClientList()
{
    clientNames.clear();
    setRecoveringClient(QString());
    emit clientsChanged();
}

void KeyMaster::clearResqueModel()
{
    resqueArchivesModel.clear();
    emit resqueArchivesModelChanged();
}

// --- connection

bool KeyMaster::startClientForRestore()
{
    bool startedNow = false;
    if (!clientStartedHere) {
        qDebug().noquote() << "need start client";
        if (!startSarvelinClient())
            return false;
        startedNow = true;
    }
    if (!waitProcessingEvents(clientPauseMs))
        return false;
    return !startedNow || waitForDaemonLink();
}

bool KeyMaster::waitForDaemonLink()
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool there = false;
        onLink([&there](DaemonLink& link) {
            try {
                if (!link.mutexOpen())
                    link.openMutex();
                link.openAnswerQueue();
                link.openRequestQueue();
                there = true;
            } catch (const std::exception&) { }
            // Only looked at: the connection opens them again.
            if (link.answerQueueOpen())
                link.closeAnswerQueue();
            if (link.requestQueueOpen())
                link.closeRequestQueue();
        });
        if (there) {
            qInfo().noquote() << "the key client's link is there after" << waited.elapsed() + 1000 << "ms";
            return true;
        }
        // Not there in time: the connection goes on and shows why it fails.
        if (waited.elapsed() >= kDaemonStartMs / scenarioTimeDivisor) {
            qWarning().noquote() << "the key client's link is not there" << waited.elapsed() + 1000
                                 << "ms after the client started";
            return true;
        }
        if (!scenarioSleep(kDaemonPollMs))
            return false;
    }
}

void KeyMaster::connectToRestoreServer(QString serverIp, QString inputedPassword)
{
    OperationScope operation(*this, Operation::Connecting, "connectToRestoreServer");
    if (!operation.granted())
        return;
    if (inputedPassword.isEmpty()) {
        // The server page enables "Connect" only with a password.
        Notifier::getInstance()->showAssert(
            QStringLiteral("Empty sarvelin key password"), QStringLiteral("connectToRestoreServer"));
        return;
    }
    if (!updateUsedHostname(QString::fromLatin1(kRescueHostname))) {
        Notifier::getInstance()->showError(tr("Can't change hostname"));
        return;
    }
    if (!startClientForRestore())
        return;
    ClientMutexLock lock(*this);
    if (!lock.isLocked())
        return;
    if (serverConnected)
        return;

    if (messageQueuesConnect() && helloDaemon(serverIp)) {
        handlePassword(serverIp, inputedPassword);
        return;
    }
    messageQueuesClose();
    clearResqueModel();
    clearClientList();
    setServerConnected(false);
}

void KeyMaster::handlePassword(QString serverIp, QString inputedPassword)
{
    const std::string hash = hashPassword(inputedPassword);
    qInfo().noquote() << "Handle inputed password, got md5 hash";

    if (!hash.empty() && svkey_authentication(hash)) {
        setServerConnected(true);
        setSarvelinServerIp(serverIp);
        clients.clear();
        ask_client_list(clients);
        updateClientList(clients);
    } else {
        Notifier::getInstance()->showError(tr("Wrong authentication"),
            tr("Please check if client is authorized by server;\nthe Sarvelin key in Sarvelin manager was set;\nyou "
               "inputed the Sarvelin key correctly"));
        disconnect();
        setServerConnected(false);
        setSarvelinServerIp(QString());
        clearResqueModel();
        clearClientList();
    }
    messageQueuesClose();
}

void KeyMaster::disconnectFromRestoreServer()
{
    OperationScope operation(*this, Operation::Disconnecting, "disconnectFromRestoreServer");
    if (!operation.granted())
        return;
    disconnectPrivate();
}

void KeyMaster::disconnectPrivate()
{
    // While the tool is being left, no client is started just to say goodbye.
    if (clientStartedHere || !m_stopRequested)
        startClientForRestore();
    {
        ClientMutexLock lock(*this);
        if (lock.isLocked() && messageQueuesConnect()) {
            disconnect();
            messageQueuesClose();
        }
    }
    clearResqueModel();
    clearClientList();
    setServerConnected(false);
}

// --- choice of the client and the archive

void KeyMaster::loadRecoveringClientData(QString clientData)
{
    OperationScope operation(*this, Operation::LoadingClient, "loadRecoveringClientData");
    if (!operation.granted())
        return;
    // Whatever follows, nothing of the previously chosen client stays on
    // screen: its archives, the chosen archive and its recovery plan.
    archives.clear();
    m_drpManager->clearPlan();
    clearResqueModel();
    if (clientData.isEmpty()) {
        qInfo().noquote() << "client data empty";
        return;
    }
    const int brace = clientData.lastIndexOf(QLatin1Char('{'));
    if (brace < 0) {
        qWarning().noquote() << "wrong format of client data";
        return;
    }
    const QString name = clientData.left(brace);
    clientData.chop(1);
    const QString hwid = clientData.mid(brace + 1);
    if (hwid.isEmpty() || !clients.contains(hwid) || clients.value(hwid) != name) {
        Notifier::getInstance()->showError(tr("No HWID for such client: ") + name);
        return;
    }
    setRecoveringClient(name);
    qDebug().noquote() << "recovering client is" << name;

    if (!messageQueuesConnect()) {
        qWarning().noquote() << "no connect to message queues";
        return;
    }
    ask_archives(archives, hwid.toStdString());
    if (!archives.empty())
        askDisasterRecoveryPlan(hwid.toStdString());
    messageQueuesClose();
    resqueArchivesModel.fill(archives);
    emit resqueArchivesModelChanged();
}

void KeyMaster::handleSelectedResqueArchive(QModelIndex index)
{
    const QString crypto = resqueArchivesModel.getCrypto(index);
    if (crypto == QLatin1String("nocrypt") || m_cryptKeyHandler->existsKeyFile())
        return;
    Notifier::getInstance()->showInfo(tr("This archive is crypted. To restore it you MUST provide master key. Use "
                                         "\"Crypt key\" button to do it, or copy original master key to ")
        + m_cryptKeyHandler->masterKeyPath());
}

// --- the restore run

void KeyMaster::restore(QString clientPassword)
{
    OperationScope operation(*this, Operation::Restoring, "restore");
    if (!operation.granted()) {
        // The run page waits for the end signal.
        emit restoreEnded(false);
        return;
    }
    const bool result = restorePrivate(clientPassword);
    setRunStage(QString());
    emit restoreEnded(result);
    disconnectPrivate();
    releaseLocalClient(result);
}

bool KeyMaster::isOnDrive(const QString& pv, const QString& drive)
{
    const QString disk = QStringLiteral("/dev/") + drive;
    if (drive.isEmpty() || !pv.startsWith(disk))
        return false;
    const QString rest = pv.mid(disk.size());
    if (rest.isEmpty())
        return true;
    // Partitions: sda1; nvme0n1p2 and mmcblk0p1 when the disk name ends in a digit.
    static const QRegularExpression plain(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression afterDigit(QStringLiteral("^p[0-9]+$"));
    return (drive.back().isDigit() ? afterDigit : plain).match(rest).hasMatch();
}

void KeyMaster::answerRestoreLVM(bool confirmed)
{
    lvmAnswer = confirmed ? LvmAnswer::Yes : LvmAnswer::No;
}

bool KeyMaster::confirmLvmRemoval(const QString& question)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&KeyMaster::needConfirmRestoreLVM))) {
        qWarning().noquote() << "Nobody can confirm the LVM clean-up; nothing is removed";
        return false;
    }
    lvmAnswer = LvmAnswer::None;
    const Operation running = m_operation;
    setOperation(Operation::WaitingForAnswer);
    emit needConfirmRestoreLVM(question);
    // No limit: the operator answers, or leaves the tool (which ends the wait).
    while (!waitUntil([this] { return lvmAnswer != LvmAnswer::None; }, 3600 * 1000, true) && !m_stopRequested) { }
    setOperation(running);
    return lvmAnswer == LvmAnswer::Yes;
}

bool KeyMaster::clearLvmOnDrive(const QString& drive)
{
    Notifier* notifier = Notifier::getInstance();
    if (MediumDisk::without({drive}).isEmpty())
        return false;
    QString output;
    CommandResult listed;
    if (runProgram(QString::fromLatin1(kPvs),
            {QStringLiteral("--noheadings"), QStringLiteral("--separator"), QStringLiteral("|"), QStringLiteral("-o"),
                QStringLiteral("pv_name,vg_name,lv_name")},
            &output, kLvmTimeoutMs, QString(), &listed)
        != 0) {
        const CommandFailure failure = explainFailure(listed, tr("Can't read LVM physical volumes"));
        notifier->showError(failure.message, failure.details);
        return false;
    }

    // Every physical volume of the machine with its group, and the logical
    // volumes of each group; lines without the separator are tool warnings.
    std::map<QString, QString> groupOfPv;
    std::map<QString, std::set<QString>> volumesOfGroup;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const QStringList fields = line.trimmed().split(QLatin1Char('|'));
        if (fields.size() < 2 || fields[0].isEmpty())
            continue;
        const QString group = fields[1].trimmed();
        groupOfPv[fields[0]] = group;
        if (!group.isEmpty() && fields.size() > 2 && !fields[2].trimmed().isEmpty())
            volumesOfGroup[group].insert(fields[2].trimmed());
    }

    std::set<QString> groups, loosePvs, groupPvs;
    for (const auto& pv : groupOfPv) {
        if (!isOnDrive(pv.first, drive))
            continue;
        if (pv.second.isEmpty())
            loosePvs.insert(pv.first);
        else {
            groups.insert(pv.second);
            groupPvs.insert(pv.first);
        }
    }
    if (groups.empty() && loosePvs.empty())
        return true;

    // A group that also lies on another disk would be destroyed there too.
    for (const auto& pv : groupOfPv) {
        if (groups.count(pv.second) && !isOnDrive(pv.first, drive)) {
            const QString message = tr("LVM volume group %1 also lies on %2. It is not removed: restore to %3 canceled")
                                        .arg(pv.second, pv.first, QStringLiteral("/dev/") + drive);
            qInfo().noquote() << message;
            notifier->showError(message);
            return false;
        }
    }

    std::set<QString> volumes;
    for (const QString& group : groups)
        for (const QString& volume : volumesOfGroup[group])
            volumes.insert(group + QLatin1Char('/') + volume);
    std::set<QString> allPvs = groupPvs;
    allPvs.insert(loosePvs.begin(), loosePvs.end());
    const QString none = tr("none");
    const QString question = tr("Device ") + drive
        + tr(" is configured as LVM physical volume. If you continue all it's data will be lost")
        + QStringLiteral("\n\n") + tr("Volume groups to remove: ") + (groups.empty() ? none : joined(groups))
        + QLatin1Char('\n') + tr("Logical volumes to remove: ") + (volumes.empty() ? none : joined(volumes))
        + QLatin1Char('\n') + tr("Physical volumes to remove: ") + joined(allPvs) + QStringLiteral("\n\n")
        + tr("Remove them and restore?");
    if (!confirmLvmRemoval(question)) {
        qInfo().noquote() << "LVM clean-up of" << drive << "canceled: restore canceled";
        return false;
    }
    if (!targetDriveUnchanged())
        return false;

    // Runs one removal; a failure is logged and shown as `what` + value.
    const auto run = [&](const char* program, const QString& value, const QString& what, const QString& done) {
        CommandResult result;
        if (runProgram(
                QString::fromLatin1(program), {QStringLiteral("-y"), value}, nullptr, kLvmTimeoutMs, QString(), &result)
            != 0) {
            const CommandFailure failure = explainFailure(result, what + value);
            qInfo().noquote() << failure.message << failure.details << "Cancel restore";
            notifier->showError(failure.message, failure.details);
            return false;
        }
        qInfo().noquote() << done + value;
        return true;
    };
    for (const QString& group : groups) {
        if (!run(kLvremove, group, tr("Can't delete LVM logical volumes: "),
                QStringLiteral("LVM logical volumes was deleted: "))
            || !run(kVgremove, group, tr("Can't delete LVM volume group: "),
                QStringLiteral("LVM volume group was deleted: ")))
            return false;
    }
    for (const QString& pv : allPvs) {
        if (!run(kPvremove, pv, tr("Can't remove LVM physical volume: "),
                QStringLiteral("LVM physical volume was removed: ")))
            return false;
    }
    return true;
}

bool KeyMaster::targetDriveUnchanged()
{
    const QString chosen = driveIdentity(selectedDrive);
    const QString now = readDriveIdentity(selectedDrive);
    if (now == chosen)
        return true;
    Notifier::getInstance()->showError(
        tr("The disk %1 is not the one chosen. Restore canceled").arg(QStringLiteral("/dev/") + selectedDrive),
        tr("Chosen: ") + chosen + QLatin1Char('\n') + tr("Now: ") + now);
    return false;
}

bool KeyMaster::restorePrivate(QString clientPassword)
{
    qInfo().noquote() << "selectedDrive " << selectedDrive << "recoveringClient" << recoveringClient;
    Notifier* notifier = Notifier::getInstance();
    if (recoveringClient.isEmpty()) {
        notifier->showError(tr("No client for recovery"));
        return false;
    }
    if (selectedDrive.isEmpty()) {
        notifier->showError(tr("No target disk for recovery"));
        return false;
    }
    if (!resqueArchivesModel.item(resqueArchivesModel.selectedRow(), 0)) {
        notifier->showError(tr("No archive chosen for recovery"));
        return false;
    }
    // The client's password is checked by the server before anything on the
    // disk is removed: a mistyped password must leave the disk as it was.
    const std::string hash = hashPassword(clientPassword);
    setRunStage(tr("Connecting to the Sarvelin server"));
    ClientMutexLock lock(*this);
    if (!lock.isLocked())
        return false;
    if (!messageQueuesConnect())
        return false;
    bool launched = helloDaemon(sarvelinServerIp);
    if (launched) {
        setRunStage(tr("Authenticating the client %1").arg(recoveringClient));
        launched = svkey_client_authentication(recoveringClient.toStdString(), hash);
    }
    if (launched) {
        setRunStage(tr("Clearing LVM volumes of %1").arg(QStringLiteral("/dev/") + selectedDrive));
        launched = clearLvmOnDrive(selectedDrive);
    }
    if (launched) {
        setRunStage(tr("Queueing the restore"));
        launched = targetDriveUnchanged() && launchRestoreArchive(hash, "/dev/" + selectedDrive.toStdString());
    }
    if (!launched) {
        messageQueuesClose();
        return false;
    }
    return didRestoreEndFine();
}

bool KeyMaster::didRestoreEndFine()
{
    int pass = 0;
    qDebug().noquote() << "Wait please for restore ..." << pass;
    setRunStage(tr("Waiting for the restore task"));
    processEventsOnce();
    if (!scenarioSleep(kFirstStatusWaitMs)) {
        qInfo().noquote() << "Restore status polling abandoned: the tool is being left";
        messageQueuesClose();
        return false;
    }
    for (;;) {
        ++pass;
        qDebug().noquote() << "Wait please for restore ..." << pass;
        const unsigned int code = getTaskStatus(sv_protocol::askRestoreStatus);
        const QString text = QString::fromStdString(taskStatusText(code));
        qDebug().noquote() << "Current status is" << text << "(" << code << ")";
        if (isFinalBadTaskStatus(code) || isFinalGoodTaskStatus(code)) {
            const bool good = isFinalGoodTaskStatus(code);
            qDebug().noquote() << (good ? "Got fine final status of task:" : "Got bad status of task:") << text;
            processEventsOnce();
            messageQueuesClose();
            return good;
        }
        const QString shown = text.isEmpty() ? QString::number(code) : tr(text.toUtf8().constData());
        setRunStage(tr("Waiting for the restore task, pass %1: %2").arg(pass).arg(shown));
        if (!scenarioSleep(kStatusPollMs)) {
            qInfo().noquote() << "Restore status polling abandoned: the tool is being left";
            messageQueuesClose();
            return false;
        }
    }
}
