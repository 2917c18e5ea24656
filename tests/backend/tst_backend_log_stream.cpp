#include <QtTest>
class T : public QObject { Q_OBJECT private slots: void none() { QSKIP("todo"); } };
QTEST_APPLESS_MAIN(T)
#include "tst_backend_log_stream.moc"
