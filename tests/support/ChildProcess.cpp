#include "support/ChildProcess.h"

#include <QProcessEnvironment>

#include <csignal>

namespace Enrolix::Testing {

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
}

ChildProcess::~ChildProcess()
{
    if (running())
        kill();
}

void ChildProcess::setEnvironment(const QString& name, const QString& value)
{
    m_environment.insert(name, value);
}

void ChildProcess::setInput(const QByteArray& input)
{
    m_input = input;
    m_hasInput = true;
}

bool ChildProcess::start()
{
    if (!m_environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it)
            environment.insert(it.key(), it.value());
        m_process.setProcessEnvironment(environment);
    }
    m_clock.start();
    m_process.start();
    m_started = m_process.waitForStarted();
    if (m_started && m_hasInput) {
        m_process.write(m_input);
        m_process.closeWriteChannel();
    }
    return m_started;
}

bool ChildProcess::waitForEnd(int timeoutMs)
{
    if (running() && !m_process.waitForFinished(timeoutMs))
        return false;
    if (m_ms < 0)
        m_ms = m_clock.elapsed();
    return true;
}

void ChildProcess::signal(int number)
{
    if (running())
        ::kill(pid_t(m_process.processId()), number);
}

void ChildProcess::kill()
{
    signal(SIGKILL);
    waitForEnd(-1);
}

QByteArray ChildProcess::printed()
{
    m_out += m_process.readAllStandardOutput();
    return m_out;
}

ChildProcess::Ended ChildProcess::ended()
{
    Ended end;
    end.timedOut = m_timedOut;
    m_out += m_process.readAllStandardOutput();
    m_err += m_process.readAllStandardError();
    end.out = m_out;
    end.err = m_err;
    end.ms = m_ms < 0 ? m_clock.elapsed() : m_ms;
    if (!m_started) {
        end.err = m_process.program().toUtf8() + ": " + m_process.errorString().toUtf8();
        return end;
    }
    if (m_timedOut || running())
        return end;
    end.crashed = m_process.exitStatus() == QProcess::CrashExit;
    if (!end.crashed)
        end.exitCode = m_process.exitCode();
    return end;
}

ChildProcess::Ended ChildProcess::run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    ChildProcess child(program, arguments);
    if (child.start() && !child.waitForEnd(timeoutMs)) {
        child.m_timedOut = true;
        child.kill();
    }
    return child.ended();
}

} // namespace Enrolix::Testing
