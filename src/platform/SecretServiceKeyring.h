#pragma once

#include "platform/Keyring.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

namespace Enrolix {

// The desktop keyring through the Secret Service of the session bus (GNOME Keyring, KWallet).
// The keyring library runs its jobs one at a time on one thread: every call is carried out on
// the thread that made this object, whose event loop must run, and a call from another thread
// waits for it there. Every call waits at most the time limit: a keyring that asks for its
// password without a desktop to ask on must not hold a pass for ever.
class SecretServiceKeyring final : public Keyring
{
public:
    explicit SecretServiceKeyring(const QString& service, std::chrono::milliseconds limit = std::chrono::seconds(10));
    ~SecretServiceKeyring() override;
    Q_DISABLE_COPY_MOVE(SecretServiceKeyring)

    bool available() override;
    std::optional<QString> read(const QString& account) override;
    bool write(const QString& account, const QString& secret, QString& failure) override;

private:
    // Runs the call on the home thread and hands back what it gave, or nothing after the limit.
    template <typename Result> std::optional<Result> atHome(std::function<Result()> call);
    std::optional<QString> readHere(const QString& account);
    bool writeHere(const QString& account, const QString& secret, QString& failure);

    QString m_service;
    std::chrono::milliseconds m_limit;
    // Lives on the thread that made this keyring; calls from elsewhere are posted to it.
    std::unique_ptr<QObject> m_home;
};

} // namespace Enrolix
