#include "notifier.h"

Notifier::Notifier(QObject* parent)
    : QObject(parent)
{ }

Notifier* Notifier::getInstance()
{
    // Function-local static: created once, thread-safe, lives until exit.
    static Notifier instance;
    return &instance;
}

void Notifier::showError(const QString& msg, const QString& details, const QVariantList& context)
{
    emit hasError(msg, details, context);
}

void Notifier::showWarning(const QString& msg, const QString& details, const QVariantList& context)
{
    emit hasWarning(msg, details, context);
}

void Notifier::showInfo(const QString& msg, const QString& details, const QVariantList& context)
{
    emit hasInfo(msg, details, context);
}

void Notifier::showAssert(const QString& msg, const QString& details, const QVariantList& context)
{
    emit hasAssert(msg, details, context);
}

void Notifier::withdraw(const QString& msg)
{
    emit hasWithdrawal(msg);
}

void Notifier::showExit()
{
    emit hasExitRequest();
}

void Notifier::showLogout()
{
    emit hasLogoutRequest();
}
