#pragma once

namespace Enrolix {

class SettingsStore;
struct Settings;
class Prompter;
class Clipboard;
class HelpViewer;
class SystemInfo;
class MailSessionFactory;
class FileChooser;
class Keyring;
class Browser;
class AccountTester;

// The services every window works with, handed in by main() or by a test.
struct AppContext
{
    SettingsStore& store;
    Settings& settings;
    Prompter& prompter;
    Clipboard& clipboard;
    HelpViewer& help;
    SystemInfo& system;
    MailSessionFactory& mail;
    FileChooser& files;
    Keyring& keyring;
    Browser& browser;
    AccountTester& accounts;
};

} // namespace Enrolix
