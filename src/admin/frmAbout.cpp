#include "admin/frmAbout.h"

#include "admin/AdminMessages.h"
#include "gui/Twips.h"
#include "platform/Prompter.h"
#include "platform/SystemInfo.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace Enrolix {
namespace {

constexpr int kMajor = 2;
constexpr int kMinor = 0;
constexpr int kRevision = 7;

} // namespace

frmAbout::frmAbout(Prompter& prompter, SystemInfo& system, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_system(system)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(AdminMessages::aboutCaption());

    auto label = [&](const char* name, const QString& caption, int left, int top, int width, int height) {
        auto* control = new QLabel(caption, this);
        placeControl(control, name, left, top, width, height);
        control->setWordWrap(true);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return control;
    };

    picIcon = new QLabel(this);
    placeControl(picIcon, "picIcon", 240, 240, 540, 540);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icons/enrolix.png")));
    picIcon->setScaledContents(true);
    picIcon->setAccessibleName(AdminMessages::kAccessibleAppIcon);

    lblTitle = label("lblTitle", kApplicationTitle, 1080, 240, 3885, 480);
    QFont title = lblTitle->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    lblTitle->setFont(title);
    lblVersion = label("lblVersion", AdminMessages::versionText(kMajor, kMinor, kRevision), 1080, 780, 3885, 225);
    lblDescription = label("lblDescription", AdminMessages::kAboutDescription, 1080, 1125, 3885, 450);

    // The etched rule: a grey line with a white one just below it.
    Line1 = new QFrame(this);
    placeControl(Line1, "Line1", 90, 2445, 5564, 30);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    lblDisclaimer = label("lblDisclaimer", AdminMessages::kAboutDisclaimer, 255, 2625, 3870, 825);

    cmdOK = new QPushButton(AdminMessages::kOk, this);
    placeControl(cmdOK, "cmdOK", 4245, 2625, 1260, 345);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    cmdSysInfo = new QPushButton(AdminMessages::kSystemInfo, this);
    placeControl(cmdSysInfo, "cmdSysInfo", 4260, 3075, 1245, 345);
    cmdSysInfo->setAutoDefault(false);
    fitCaptionLeftwards(cmdSysInfo);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    setFixedSize(twipsToPixels(5730, this), twipsToPixels(3555, this));
}

void frmAbout::StartSysInfo()
{
    if (!startSystemInformation(m_system))
        m_prompter.ask(AdminMessages::systemInfoUnavailable());
}

} // namespace Enrolix
