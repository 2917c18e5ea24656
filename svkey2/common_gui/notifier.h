#ifndef NOTIFIER_H
#define NOTIFIER_H

#include <QObject>
#include <QString>
#include <QVariantList>

// Process-wide channel for every message the operator must see. Each show
// operation re-emits its arguments as a signal; the root page turns these
// signals into its single notification dialog and logs them.
class Notifier : public QObject
{
    Q_OBJECT
public:
    static Notifier* getInstance();

    Q_INVOKABLE void showError(
        const QString& msg, const QString& details = QString(), const QVariantList& context = QVariantList());
    Q_INVOKABLE void showWarning(
        const QString& msg, const QString& details = QString(), const QVariantList& context = QVariantList());
    Q_INVOKABLE void showInfo(
        const QString& msg, const QString& details = QString(), const QVariantList& context = QVariantList());
    Q_INVOKABLE void showAssert(
        const QString& msg, const QString& details = QString(), const QVariantList& context = QVariantList());
    // Closes the notification `msg` if it is still on screen (a wait it
    // announced is over).
    Q_INVOKABLE void withdraw(const QString& msg);
    Q_INVOKABLE void showExit();
    Q_INVOKABLE void showLogout();

signals:
    void hasError(const QString& msg, const QString& details, const QVariantList& context);
    void hasWarning(const QString& msg, const QString& details, const QVariantList& context);
    void hasInfo(const QString& msg, const QString& details, const QVariantList& context);
    void hasAssert(const QString& msg, const QString& details, const QVariantList& context);
    void hasWithdrawal(const QString& msg);
    void hasExitRequest();
    void hasLogoutRequest();

private:
    explicit Notifier(QObject* parent = nullptr);
    Q_DISABLE_COPY(Notifier)
};

#endif // NOTIFIER_H
