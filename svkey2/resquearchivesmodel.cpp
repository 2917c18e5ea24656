#include "resquearchivesmodel.h"

#include <QCoreApplication>

namespace ArchiveRoles {

QHash<int, QByteArray> roleNames()
{
    static const QHash<int, QByteArray> names {
        { Id, "id" },
        { TaskId, "taskId" },
        { Name, "name" },
        { ReferenceId, "referenceId" },
        { ResourceType, "resourceType" },
        { Resource, "resource" },
        { BackupType, "backupType" },
        { Pool, "pool" },
        { ArchiveSize, "archiveSize" },
        { SnapshotSize, "snapshotSize" },
        { Created, "created" },
        { CreationDuration, "creationDuration" },
        { TransmissionDuration, "transmissionDuration" },
        { CryptAlgorithm, "cryptAlgorithm" },
        { CryptDuration, "cryptDuration" },
        { IsDigitallySigned, "isDigitallySigned" },
        { VerificationStatus, "verificationStatus" },
    };
    return names;
}

QStandardItem* makeItem(const sv_archive_short& a, const QString& yesText, const QString& noText)
{
    // The item is filled before it joins a model, so no change signal is
    // emitted per value.
    auto* item = new QStandardItem;
    item->setData(QString::number(a.get_id()), Id);
    item->setData(QString::number(a.get_task_id()), TaskId);
    item->setData(QString::fromStdString(a.get_name()), Name);
    item->setData(QString::number(a.get_reference_id()), ReferenceId);
    item->setData(QString::fromStdString(a.get_resource_type()), ResourceType);
    item->setData(QString::fromStdString(a.get_resource()), Resource);
    item->setData(QString::fromStdString(a.get_backup_type()), BackupType);
    item->setData(QString::fromStdString(a.get_pool()), Pool);
    item->setData(QString::number(a.get_archive_size()), ArchiveSize);
    item->setData(QString::number(a.get_snapshot_size()), SnapshotSize);
    item->setData(QString::fromStdString(a.get_created()), Created);
    item->setData(QString::fromStdString(a.get_creation_duration()), CreationDuration);
    item->setData(QString::fromStdString(a.get_transmission_duration()), TransmissionDuration);
    item->setData(QString::fromStdString(a.get_crypt_algorithm()), CryptAlgorithm);
    item->setData(QString::fromStdString(a.get_crypt_duration()), CryptDuration);
    item->setData(a.is_digitally_signed() ? yesText : noText, IsDigitallySigned);
    item->setData(QString::fromStdString(a.verification_status_str()), VerificationStatus);
    return item;
}

} // namespace ArchiveRoles

ResqueArchivesModel::ResqueArchivesModel(QObject* parent)
    : QStandardItemModel(parent)
{
}

bool ResqueArchivesModel::fill(const std::vector<sv_archive_short>& archives)
{
    clear();
    resetSelectedRow();

    const QString yesText = tr("yes");
    const QString noText = tr("no");
    QList<QStandardItem*> rows;
    rows.reserve(static_cast<int>(archives.size()));
    for (const sv_archive_short& archive : archives)
        rows.append(ArchiveRoles::makeItem(archive, yesText, noText));
    // One insertion for the whole list: views see a single rowsInserted.
    if (!rows.isEmpty())
        invisibleRootItem()->appendRows(rows);
    return true;
}

int ResqueArchivesModel::selectedRow() const
{
    return m_selectedRow;
}

void ResqueArchivesModel::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    emit selectedRowChanged();
}

void ResqueArchivesModel::resetSelectedRow()
{
    setSelectedRow(-1);
}

QString ResqueArchivesModel::selectedBackupName() const
{
    if (m_selectedRow == -1)
        return undefinedBackupName();
    const QStandardItem* selected = item(m_selectedRow, 0);
    if (!selected)
        return undefinedBackupName();
    return selected->data(ArchiveRoles::Name).toString();
}

QString ResqueArchivesModel::getId(const QModelIndex& index) const
{
    const QStandardItem* found = item(index.row(), index.column());
    return found ? found->data(ArchiveRoles::Id).toString() : QString();
}

QString ResqueArchivesModel::getCrypto(const QModelIndex& index) const
{
    const QStandardItem* found = item(index.row(), index.column());
    return found ? found->data(ArchiveRoles::CryptAlgorithm).toString() : QString();
}

QHash<int, QByteArray> ResqueArchivesModel::roleNames() const
{
    return ArchiveRoles::roleNames();
}

QString ResqueArchivesModel::undefinedBackupName()
{
    // Translated at the moment of use, so a language switch is followed.
    return tr("undefined");
}
