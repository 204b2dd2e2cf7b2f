#include "platform/SecretServiceKeyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <future>
#include <memory>

#include <qt6keychain/keychain.h>

namespace Enrolix {
namespace {

const QString kSecretService = QStringLiteral("org.freedesktop.secrets");

// Runs the job to its end or to the time limit; true when it ended without an error. A job
// still running then is left to delete itself once it ends: its keyring call may yet answer.
bool finish(std::unique_ptr<QKeychain::Job> job, std::chrono::milliseconds limit, QString& failure,
            QString* text = nullptr)
{
    QEventLoop loop;
    bool ended = false;
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        ended = true;
        if (done->error() != QKeychain::NoError)
            failure = done->errorString();
        else if (auto* reading = qobject_cast<QKeychain::ReadPasswordJob*>(done); reading && text)
            *text = reading->textData();
        loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    job->start();
    if (!ended)
        loop.exec();
    if (!ended) {
        job->setAutoDelete(true);
        job.release();
        failure = QStringLiteral("the keyring did not answer in time");
        return false;
    }
    return failure.isEmpty();
}

} // namespace

SecretServiceKeyring::SecretServiceKeyring(const QString& service, std::chrono::milliseconds limit)
    : m_service(service), m_limit(limit), m_home(std::make_unique<QObject>())
{
}

SecretServiceKeyring::~SecretServiceKeyring() = default;

template <typename Result> std::optional<Result> SecretServiceKeyring::atHome(std::function<Result()> call)
{
    if (QThread::currentThread() == m_home->thread())
        return call();
    // Shared with the posted call, which may still run after this one stopped waiting.
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> answer = promise->get_future();
    QMetaObject::invokeMethod(
        m_home.get(), [promise, call = std::move(call)] { promise->set_value(call()); }, Qt::QueuedConnection);
    // The home thread's own wait, and a moment for it to be reached.
    if (answer.wait_for(2 * m_limit) != std::future_status::ready)
        return std::nullopt;
    return answer.get();
}

bool SecretServiceKeyring::available()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
    if (!names)
        return false;
    if (names->isServiceRegistered(kSecretService))
        return true;
    const QDBusReply<QStringList> startable = names->activatableServiceNames();
    return startable.isValid() && startable.value().contains(kSecretService);
}

std::optional<QString> SecretServiceKeyring::read(const QString& account)
{
    return atHome<std::optional<QString>>([this, account] { return readHere(account); }).value_or(std::nullopt);
}

bool SecretServiceKeyring::write(const QString& account, const QString& secret, QString& failure)
{
    const std::optional<std::pair<bool, QString>> written = atHome<std::pair<bool, QString>>([this, account, secret] {
        QString why;
        const bool ok = writeHere(account, secret, why);
        return std::make_pair(ok, why);
    });
    failure = written ? written->second : QStringLiteral("the keyring did not answer in time");
    return written && written->first;
}

std::optional<QString> SecretServiceKeyring::readHere(const QString& account)
{
    auto job = std::make_unique<QKeychain::ReadPasswordJob>(m_service);
    job->setAutoDelete(false);
    job->setKey(account);
    QString failure;
    QString secret;
    if (!finish(std::move(job), m_limit, failure, &secret))
        return std::nullopt;
    return secret;
}

bool SecretServiceKeyring::writeHere(const QString& account, const QString& secret, QString& failure)
{
    auto job = std::make_unique<QKeychain::WritePasswordJob>(m_service);
    job->setAutoDelete(false);
    job->setKey(account);
    job->setTextData(secret);
    return finish(std::move(job), m_limit, failure);
}

} // namespace Enrolix
