#pragma once

#include <QString>

#include <optional>

namespace Enrolix {

// The desktop keyring: secrets of the program's one service, one per account.
class Keyring
{
public:
    virtual ~Keyring() = default;
    // Whether a keyring answers on the session bus, running or started on demand.
    virtual bool available() = 0;
    // The secret of the account; nothing when the keyring is locked, absent or has no entry.
    virtual std::optional<QString> read(const QString& account) = 0;
    // Stores the secret of the account in place of any before; false, and why, when it could not.
    virtual bool write(const QString& account, const QString& secret, QString& failure) = 0;
};

} // namespace Enrolix
