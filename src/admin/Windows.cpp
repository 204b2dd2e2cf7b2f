#include "admin/Windows.h"

#include "admin/AppContext.h"
#include "admin/frmMain.h"

namespace Enrolix {

Windows::Windows(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {}

Windows::~Windows() = default;

frmMain& Windows::main()
{
    if (!m_main) {
        m_main = std::make_unique<frmMain>(m_context);
        wireMainCommands();
    }
    return *m_main;
}

void Windows::showMain()
{
    frmMain& window = main();
    window.setEnabled(true);
    window.show();
    window.raise();
    window.activateWindow();
}

void Windows::wireMainCommands() {}

} // namespace Enrolix
