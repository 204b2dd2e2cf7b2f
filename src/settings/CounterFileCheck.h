#pragma once

namespace Enrolix {

struct Settings;
class Prompter;

// Makes sure the counter file named by the loaded settings can be opened; when it cannot,
// offers to create a fresh one holding "1". Reports only through the prompter.
void CheckCounterFile(const Settings& settings, Prompter& prompter);

} // namespace Enrolix
