// Test harness for the stand-ins: installs the built programs into a
// temporary folder, writes scenarios, runs the daemon stand-in and speaks to
// it over the key client channel as the rescue tool does (zero-filled
// 102400-byte buffer, one deadline per exchange).
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include <boost/interprocess/ipc/message_queue.hpp>

class StandinHarness {
public:
    StandinHarness();
    ~StandinHarness();

    bool ok() const { return dir_.isValid() && installed_; }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString bin(const QString& program) const { return dir_.filePath("bin/" + program); }
    // Environment for the stand-ins: SV_STANDINS_DIR is the temporary folder.
    QProcessEnvironment environment() const;

    // The default scenario's text plus `extra` lines (sections may repeat:
    // a later key wins), written as the scenario file.
    void writeScenario(const QString& extra = QString());
    static QString defaultScenario();

    // Starts sv_keyclientd and waits until its queues exist.
    bool startDaemon();
    // SIGTERM and wait; true when it ended by itself.
    bool stopDaemon();
    QProcess* daemon() { return daemon_.get(); }
    // Lines of the daemon's requests log.
    QStringList requestLog() const;

private:
    QTemporaryDir dir_;
    bool installed_ = false;
    std::unique_ptr<QProcess> daemon_;
};

// The tool's side of the channel.
class ToolChannel {
public:
    ToolChannel();
    bool open();                      // open_only both queues
    std::string error() const { return error_; }

    // One exchange: zero the buffer, take the deadline, send, receive one
    // message. Returns false on a send or receive timeout.
    bool request(const std::string& text, double deadlineSeconds = 2.0);
    // The answer read as a zero-terminated string from the buffer.
    std::string answerText() const { return std::string(buffer_.data()); }
    std::size_t answerLength() const { return received_; }

    // Raw receive of one more message (its bytes), within the deadline.
    bool receiveRaw(std::string& message, double deadlineSeconds);

    boost::interprocess::message_queue* toDaemon() { return requests_.get(); }

private:
    std::unique_ptr<boost::interprocess::message_queue> requests_;
    std::unique_ptr<boost::interprocess::message_queue> answers_;
    std::vector<char> buffer_;
    std::size_t received_ = 0;
    double deadline_ = 0;   // steady seconds of the current exchange
    std::string error_;
};

// MD5-crypt with the tool's salt.
std::string toolHash(const std::string& password);
bool shmEntryExists(const QString& name);
