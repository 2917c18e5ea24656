#include "drparchivemodel.h"

#include "resquearchivesmodel.h"

DrpArchiveModel::DrpArchiveModel(QObject* parent)
    : QStandardItemModel(parent)
{
    setHorizontalHeaderLabels({tr("Id"), tr("Task ID"), tr("Name"), tr("Reference ID"), tr("Resource type"),
        tr("Resource"), tr("Backup type"), tr("Pool"), tr("Archive size"), tr("Snapshot size"), tr("Created"),
        tr("Creation duration"), tr("Transmission duration"), tr("Crypt algorithm"), tr("Crypt duration"),
        tr("Digitally signed"), tr("Verification status")});
}

int DrpArchiveModel::selectedRow() const
{
    return m_selectedRow;
}

void DrpArchiveModel::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    emit selectedRowChanged();
}

void DrpArchiveModel::load(const std::vector<disaster_recovery_plan_record>& plan, unsigned int id)
{
    removeRows(0, rowCount());
    for (const disaster_recovery_plan_record& entry : plan) {
        if (entry.get_id() != id)
            continue;
        const QString yesText = tr("yes");
        const QString noText = tr("no");
        const auto archives = entry.archives();
        QList<QStandardItem*> rows;
        rows.reserve(static_cast<int>(archives.size()));
        for (const sv_archive_drp& drpArchive : archives)
            rows.append(ArchiveRoles::makeItem(drpArchive.archive, yesText, noText));
        if (!rows.isEmpty())
            invisibleRootItem()->appendRows(rows);
        return; // only the first entry with this id
    }
}

QHash<int, QByteArray> DrpArchiveModel::roleNames() const
{
    return ArchiveRoles::roleNames();
}
