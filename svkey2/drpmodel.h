#ifndef DRPMODEL_H
#define DRPMODEL_H

#include <QHash>
#include <QStandardItemModel>

#include <vector>

#include "sv_archive_records.h"

// Entries of a client's disaster recovery plan, one row per entry.
class DrpModel : public QStandardItemModel
{
    Q_OBJECT
    Q_PROPERTY(int selectedRow READ selectedRow WRITE setSelectedRow NOTIFY selectedRowChanged)

public:
    enum Roles {
        IdRole = Qt::UserRole + 1, // 257
        ResourceTypeRole,
        ResourceRole,
        RestoreDestinationRole,
        PriorityRole,
        DescriptionRole // 262
    };

    explicit DrpModel(QObject* parent = nullptr);

    int selectedRow() const;
    void setSelectedRow(int row);

    // Replaces the rows by the entries of the plan, in order.
    void load(const std::vector<disaster_recovery_plan_record>& plan);

    QHash<int, QByteArray> roleNames() const override;

signals:
    void selectedRowChanged(int row);

private:
    int m_selectedRow = -1;
};

#endif // DRPMODEL_H
