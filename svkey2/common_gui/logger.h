#ifndef LOGGER_H
#define LOGGER_H

#include <QFile>
#include <QMutex>
#include <QObject>
#include <QString>

// The GUI's Qt message handler. Every message is formatted once and sent to
// the log file (".logs" in the settings folder), to standard output and to the
// on-screen journal (hasLogMessage), as the log type and level say.
class Logger : public QObject
{
    Q_OBJECT
public:
    enum LogType { Console = 1, File = 2, FileAndConsole = 3 };
    enum LogLevel { Info = 1, Debug = 2, Warning = 4, Critical = 8, Fatal = 16 };

    static const char* const logsFileName;

    static Logger* getInstance();

    // folder must exist and end with "/"; the log file is folder + ".logs".
    void init(const QString& folder, LogType type, int level);
    void setLogType(LogType type);
    // 0 nothing, 1 fatal, 2 + critical, 3 + warning, 4 + debug, 5 + info; other: nothing.
    void setLogsLevel(int level);
    void setLogLevel(LogLevel mask);

    LogType logType() const { return m_logType; }
    int levelMask() const { return m_levelMask; }
    QString folder() const { return m_folder; }
    bool isFileOpen() const { return m_file.isOpen(); }

    // The handler for qInstallMessageHandler.
    static void logger(QtMsgType type, const QMessageLogContext& context, const QString& msg);

    QString buildLogMessage(QtMsgType type, const QMessageLogContext& context, const QString& msg) const;
    static QString buildTimeStamp();

signals:
    void hasLogMessage(QString logMessage);

private:
    explicit Logger(QObject* parent = nullptr);
    ~Logger() override;
    Q_DISABLE_COPY(Logger)

    void initLoggerToFile();
    void writeToFile(const QString& line);
    static void writeToConsole(const QString& line);

    QFile m_file;
    QMutex m_mutex;
    LogType m_logType = FileAndConsole;
    int m_levelMask = 31;
    QString m_folder;
};

#endif // LOGGER_H
