#pragma once

#include "mail/AccountForm.h"

namespace Enrolix {

class Keyring;
class SettingsStore;

// Reads a mail profile into the account dialog's form and writes the form back: the keys the
// form shows are written or taken out, every other key of the section stays as it is. The
// password or refresh token goes into the desktop keyring (secret=keyring), or, without a
// keyring, into the file.
namespace AccountSettings {

AccountForm load(const SettingsStore& store, const QString& profile);

struct Saved
{
    // The keyring refused the secret: nothing was written, and failure says why.
    bool ok{true};
    QString failure;
    // No keyring answered: the secret went into the settings file.
    bool secretInFile{false};
};
Saved save(SettingsStore& store, const QString& profile, const AccountForm& form, Keyring& keyring);

} // namespace AccountSettings
} // namespace Enrolix
