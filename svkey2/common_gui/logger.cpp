#include "logger.h"

#include <QDateTime>
#include <QDir>
#include <QMutexLocker>
#include <QRegExp>

#include <cstdio>

const char* const Logger::logsFileName = ".logs";

Logger::Logger(QObject* parent)
    : QObject(parent)
{ }

Logger::~Logger()
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen())
        m_file.close();
}

Logger* Logger::getInstance()
{
    static Logger instance;
    return &instance;
}

void Logger::init(const QString& folder, LogType type, int level)
{
    Q_ASSERT_X(QDir(folder).exists(), "Logger::init", "folder for logs doesnt exist");
    m_folder = folder;
    setLogType(type);
    setLogsLevel(level);
}

void Logger::setLogType(LogType type)
{
    m_logType = type;
    if (type & File) {
        initLoggerToFile();
    } else {
        QMutexLocker lock(&m_mutex);
        if (m_file.isOpen())
            m_file.close();
    }
}

void Logger::setLogsLevel(int level)
{
    switch (level) {
    case 1:
        m_levelMask = Fatal;
        break;
    case 2:
        m_levelMask = Fatal | Critical;
        break;
    case 3:
        m_levelMask = Fatal | Critical | Warning;
        break;
    case 4:
        m_levelMask = Fatal | Critical | Warning | Debug;
        break;
    case 5:
        m_levelMask = Fatal | Critical | Warning | Debug | Info;
        break;
    default:
        m_levelMask = 0;
        break;
    }
}

void Logger::setLogLevel(LogLevel mask)
{
    m_levelMask = mask;
}

void Logger::initLoggerToFile()
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen()) {
        m_file.write("Warning: [Logger::initLoggerToFile] try to initialize logger twice\n");
        m_file.flush();
        return;
    }
    m_file.setFileName(m_folder + logsFileName);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        std::fprintf(stderr, "Warning: [Logger::initLoggerToFile] Could not initialize logger using file%s",
            m_file.fileName().toUtf8().constData());
        std::fflush(stderr);
    }
}

QString Logger::buildTimeStamp()
{
    return QDateTime::currentDateTime().toString("[yyyy-MM-dd hh:mm:ss.zzz] ");
}

QString Logger::buildLogMessage(QtMsgType type, const QMessageLogContext& context, const QString& msg) const
{
    QString pattern;
    switch (type) {
    case QtDebugMsg:
        if (m_levelMask & Debug)
            pattern = QStringLiteral("Debug: [%1][%2] %3");
        break;
    case QtWarningMsg:
        if (m_levelMask & Warning)
            pattern = QStringLiteral("Warning: [%1][%2] %3");
        break;
    case QtCriticalMsg:
        if (m_levelMask & Critical)
            pattern = QStringLiteral("Critical: [%1][%2] %3");
        break;
    case QtFatalMsg:
        if (m_levelMask & Fatal)
            pattern = QStringLiteral("Fatal: [%1][%2] %3");
        break;
    case QtInfoMsg:
        if (m_levelMask & Info)
            pattern = QStringLiteral("Info: [%1][%2] %3");
        break;
    }
    if (pattern.isEmpty())
        return QString();

    // The place: "Class::method" out of the function signature, or else the
    // file's base name and the signature (free functions, lambdas, QML).
    const QString function = QString::fromUtf8(context.function);
    QString place;
    QRegExp classMethod(QStringLiteral("([0-9a-zA-Z]*::[0-9a-zA-Z]*)\\("), Qt::CaseSensitive);
    if (classMethod.indexIn(function) != -1) {
        place = classMethod.cap(1);
    } else {
        const QString file = QString::fromUtf8(context.file);
        place = file.section('/', -1);
        if (context.function)
            place += "::" + function;
    }

    return pattern.arg(place).arg(QStringLiteral("line:%1").arg(context.line)).arg(msg);
}

void Logger::writeToConsole(const QString& line)
{
    if (line.isEmpty())
        return;
    // UTF-8 as in the log file, whatever the locale (a C locale would turn
    // every Russian letter into "?").
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Logger::writeToFile(const QString& line)
{
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen() || line.isEmpty())
        return;
    m_file.write((buildTimeStamp() + " " + line + "\n").toUtf8());
    m_file.flush();
}

void Logger::logger(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    Logger* self = getInstance();
    const QString line = self->buildLogMessage(type, context, msg);
    switch (self->m_logType) {
    case Console:
        writeToConsole(line);
        break;
    case File:
        self->writeToFile(line);
        break;
    case FileAndConsole:
        self->writeToFile(line);
        writeToConsole(line);
        break;
    default:
        std::fputs("Critical: [Logger::logger] Wrong log type!", stderr);
        std::fflush(stderr);
        break;
    }
    emit self->hasLogMessage(line);
}
