#pragma once

namespace Enrolix {

struct Settings;
class Prompter;
class SettingsStore;

// Makes sure the counter file named by the loaded settings can be opened; when it cannot,
// offers to create a fresh one holding "1". Reports only through the prompter.
void CheckCounterFile(const Settings& settings, Prompter& prompter);

// Creates the per-user data folder, the default working folder, when it is missing, together
// with a counter file holding "1", so a new user can create events at once. A folder that
// exists already is left as it is. Returns false when the folder cannot be created.
bool prepareDefaultDataFolder();

// Creates the default page folder, the data folder's pages/, when the settings of store use it
// and it is missing. A page folder the user chose is never created. Returns false when the
// default in use cannot be created.
bool prepareDefaultPageFolder(const SettingsStore& store);

} // namespace Enrolix
