#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

// A program run by a test in a process of its own, with the test's environment (the XDG folders
// of TestFolders included) and any variables set here. Killed, if it still runs, when it goes.
class ChildProcess
{
public:
    // How a run ended and all it printed.
    struct Ended
    {
        // -1 when it did not end by itself: not started, ended by a signal, or past its time.
        int exitCode{-1};
        // Ended by a signal within its time.
        bool crashed{false};
        // Still running at its time limit, and killed.
        bool timedOut{false};
        QByteArray out;
        QByteArray err;
        // From the start to the end.
        qint64 ms{0};

        // Its standard error as text.
        QString errText() const { return QString::fromUtf8(err); }
        // All it printed, standard output first, for a failure's message.
        QByteArray output() const { return out + err; }
    };

    explicit ChildProcess(const QString& program, const QStringList& arguments = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // A variable of the environment it starts with, added or replaced.
    void setEnvironment(const QString& name, const QString& value);
    // Written to its standard input at the start, which is then closed.
    void setInput(const QByteArray& input);

    // False when it could not be started; ended().err says why.
    bool start();
    // Waits at most timeoutMs for its end; false when it still runs.
    bool waitForEnd(int timeoutMs);
    // Sends the signal (SIGTERM, SIGKILL...) to it.
    void signal(int number);
    // Kills it (SIGKILL) and waits for its end.
    void kill();
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // What it printed on its standard output so far, while it runs.
    QByteArray printed();
    // How it ended, and all it printed so far; call once it has ended.
    Ended ended();

    // Starts the program, and kills it when it has not ended within timeoutMs.
    static Ended run(const QString& program, const QStringList& arguments, int timeoutMs = 60000);

private:
    QProcess m_process;
    QMap<QString, QString> m_environment;
    QByteArray m_input;
    bool m_hasInput{false};
    bool m_started{false};
    bool m_timedOut{false};
    QElapsedTimer m_clock;
    qint64 m_ms{-1};
    QByteArray m_out;
    QByteArray m_err;
};

} // namespace Enrolix::Testing
