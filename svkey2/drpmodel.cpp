#include "drpmodel.h"

DrpModel::DrpModel(QObject* parent)
    : QStandardItemModel(parent)
{ }

int DrpModel::selectedRow() const
{
    return m_selectedRow;
}

void DrpModel::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    emit selectedRowChanged(row);
}

void DrpModel::load(const std::vector<disaster_recovery_plan_record>& plan)
{
    removeRows(0, rowCount());
    QList<QStandardItem*> rows;
    rows.reserve(static_cast<int>(plan.size()));
    for (const disaster_recovery_plan_record& entry : plan) {
        auto* item = new QStandardItem;
        item->setData(QString::number(entry.get_id()), IdRole);
        item->setData(QString::fromStdString(entry.resource_type()), ResourceTypeRole);
        item->setData(QString::fromStdString(entry.resource()), ResourceRole);
        item->setData(QString::fromStdString(entry.resource_destination()), RestoreDestinationRole);
        item->setData(QString::number(entry.priority()), PriorityRole);
        item->setData(QString::fromStdString(entry.description()), DescriptionRole);
        rows.append(item);
    }
    if (!rows.isEmpty())
        invisibleRootItem()->appendRows(rows);
}

QHash<int, QByteArray> DrpModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {IdRole, "id"},
        {ResourceTypeRole, "resourceType"},
        {ResourceRole, "resource"},
        {RestoreDestinationRole, "restoreDestination"},
        {PriorityRole, "priority"},
        {DescriptionRole, "description"},
    };
    return names;
}
