#pragma once

namespace Enrolix::GMimeLibrary {

// Initialises GMime once per process; every user of GMime calls it first.
void ensureInitialised();

} // namespace Enrolix::GMimeLibrary
