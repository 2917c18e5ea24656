#include "resquearchivesmodel.h"

#include <QCoreApplication>

#include <memory>
#include <utility>

namespace ArchiveRoles {

QHash<int, QByteArray> roleNames()
{
    static const QHash<int, QByteArray> names {
        {Id, "id"},
        {TaskId, "taskId"},
        {Name, "name"},
        {ReferenceId, "referenceId"},
        {ResourceType, "resourceType"},
        {Resource, "resource"},
        {BackupType, "backupType"},
        {Pool, "pool"},
        {ArchiveSize, "archiveSize"},
        {SnapshotSize, "snapshotSize"},
        {Created, "created"},
        {CreationDuration, "creationDuration"},
        {TransmissionDuration, "transmissionDuration"},
        {CryptAlgorithm, "cryptAlgorithm"},
        {CryptDuration, "cryptDuration"},
        {IsDigitallySigned, "isDigitallySigned"},
        {VerificationStatus, "verificationStatus"},
    };
    return names;
}

namespace {

// The archives behind a set of rows, copied once and shared by the rows,
// with the texts of the signature flag.
struct ArchiveBlock
{
    std::vector<sv_archive_short> archives;
    QString yesText;
    QString noText;
};

QString toText(const std::string& value)
{
    return QString::fromUtf8(value.data(), static_cast<int>(value.size()));
}

// One archive row. Its values are made from the shared record when a view
// or the program reads them, so a list of any length becomes rows without
// converting every value first. A value written with setData takes
// precedence over the record's.
class ArchiveItem : public QStandardItem
{
public:
    ArchiveItem(std::shared_ptr<const ArchiveBlock> block, std::size_t index)
        : m_block(std::move(block))
        , m_index(index)
    { }

    QVariant data(int role) const override
    {
        const QVariant stored = QStandardItem::data(role);
        if (stored.isValid() || role < Id || role > VerificationStatus)
            return stored;
        const sv_archive_short& a = m_block->archives[m_index];
        switch (role) {
        case Id:
            return QString::number(a.get_id());
        case TaskId:
            return QString::number(a.get_task_id());
        case Name:
            return toText(a.get_name());
        case ReferenceId:
            return QString::number(a.get_reference_id());
        case ResourceType:
            return toText(a.get_resource_type());
        case Resource:
            return toText(a.get_resource());
        case BackupType:
            return toText(a.get_backup_type());
        case Pool:
            return toText(a.get_pool());
        case ArchiveSize:
            return QString::number(a.get_archive_size());
        case SnapshotSize:
            return QString::number(a.get_snapshot_size());
        case Created:
            return toText(a.get_created());
        case CreationDuration:
            return toText(a.get_creation_duration());
        case TransmissionDuration:
            return toText(a.get_transmission_duration());
        case CryptAlgorithm:
            return toText(a.get_crypt_algorithm());
        case CryptDuration:
            return toText(a.get_crypt_duration());
        case IsDigitallySigned:
            return a.is_digitally_signed() ? m_block->yesText : m_block->noText;
        default:
            return toText(a.verification_status_str());
        }
    }

    QStandardItem* clone() const override { return new ArchiveItem(m_block, m_index); }

private:
    std::shared_ptr<const ArchiveBlock> m_block;
    std::size_t m_index;
};

} // namespace

QList<QStandardItem*> makeItems(
    const std::vector<sv_archive_short>& archives, const QString& yesText, const QString& noText)
{
    auto block = std::make_shared<const ArchiveBlock>(ArchiveBlock {archives, yesText, noText});
    QList<QStandardItem*> rows;
    rows.reserve(static_cast<int>(archives.size()));
    for (std::size_t i = 0; i < archives.size(); ++i)
        rows.append(new ArchiveItem(block, i));
    return rows;
}

QStandardItem* makeItem(const sv_archive_short& archive, const QString& yesText, const QString& noText)
{
    return makeItems({archive}, yesText, noText).first();
}

} // namespace ArchiveRoles

ResqueArchivesModel::ResqueArchivesModel(QObject* parent)
    : QStandardItemModel(parent)
{ }

bool ResqueArchivesModel::fill(const std::vector<sv_archive_short>& archives)
{
    clear();
    resetSelectedRow();

    const QList<QStandardItem*> rows = ArchiveRoles::makeItems(archives, tr("yes"), tr("no"));
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
