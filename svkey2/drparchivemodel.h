#ifndef DRPARCHIVEMODEL_H
#define DRPARCHIVEMODEL_H

#include <QHash>
#include <QStandardItemModel>

#include <vector>

#include "sv_archive_records.h"

// Archives of one entry of a disaster recovery plan, one row per archive,
// with the same roles as the rescue archives model.
class DrpArchiveModel : public QStandardItemModel
{
    Q_OBJECT
    Q_PROPERTY(int selectedRow READ selectedRow WRITE setSelectedRow NOTIFY selectedRowChanged)

public:
    explicit DrpArchiveModel(QObject* parent = nullptr);

    int selectedRow() const;
    void setSelectedRow(int row);

    // Shows the archives of the first plan entry whose id is `id`; no such
    // entry leaves the model empty. The selected row is not changed.
    void load(const std::vector<disaster_recovery_plan_record>& plan, unsigned int id);

    QHash<int, QByteArray> roleNames() const override;

signals:
    void selectedRowChanged();

private:
    int m_selectedRow = -1;
};

#endif // DRPARCHIVEMODEL_H
