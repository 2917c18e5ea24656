#ifndef DRPMANAGER_H
#define DRPMANAGER_H

#include <QAbstractItemModel>
#include <QObject>

#include <string>
#include <vector>

#include "drparchivemodel.h"
#include "drpmodel.h"
#include "sv_archive_records.h"

// Holds a client's disaster recovery plan and the two models of the plan
// dialog: the plan entries, and the archives of the selected entry.
class DrpManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractItemModel* drpModel READ getDrpModel NOTIFY drpModelChanged)
    Q_PROPERTY(QAbstractItemModel* drpArchiveModel READ getDrpArchiveModel NOTIFY drpArchiveModelChanged)

public:
    explicit DrpManager(QObject* parent = nullptr);

    QAbstractItemModel* getDrpModel();
    QAbstractItemModel* getDrpArchiveModel();

    // Empties the plan and both models.
    void clearPlan();
    // Decodes a received plan (text archive payload) and shows it, selecting
    // its first entry. A payload that does not decode leaves the plan empty;
    // the result says whether it decoded, `error` receives the reason.
    bool fillPlan(const std::string& payload, std::string* error = nullptr);

    const std::vector<disaster_recovery_plan_record>& plan() const;
    DrpModel* entries();
    DrpArchiveModel* entryArchives();

signals:
    void drpModelChanged();
    void drpArchiveModelChanged();

private:
    void onEntrySelected(int row);

    DrpModel drpModel;
    DrpArchiveModel drpArchiveModel;
    std::vector<disaster_recovery_plan_record> m_plan;
};

#endif // DRPMANAGER_H
