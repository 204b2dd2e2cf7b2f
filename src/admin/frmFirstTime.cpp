#include "admin/frmFirstTime.h"

#include "admin/AdminMessages.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "platform/Prompter.h"
#include "settings/OptionTable.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace Enrolix {
namespace {

QFont fontOf(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

frmFirstTime::frmFirstTime(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_context(context)
{
    setObjectName(QStringLiteral("frmFirstTime"));
    setWindowTitle(AdminMessages::kWelcomeCaption);
    const QString sansSerif = QStringLiteral("MS Sans Serif");

    auto heading = [&](const char* name, const QString& caption, const QFont& font, int left, int top, int width,
                       int height) {
        auto* label = new QLabel(caption, this);
        placeControl(label, name, left, top, width, height);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setForegroundRole(QPalette::Highlight);
        return label;
    };

    Settings = new QLabel(this);
    placeControl(Settings, "Settings", 120, 120, 2745, 1860);
    Settings->setPixmap(QPixmap(QStringLiteral(":/icons/welcome.png")));
    Settings->setScaledContents(true);
    Settings->setAccessibleName(AdminMessages::kAccessibleWelcomePicture);

    lblTitle = heading("lblTitle", AdminMessages::kWelcomeTitle, fontOf(QStringLiteral("Times New Roman"), 24, true),
                       3240, 120, 2895, 735);
    lblLabel1 =
        heading("lblLabel1", AdminMessages::kWelcomeHeading, fontOf(sansSerif, 12, true), 3360, 1080, 2655, 855);

    firsttime = new QLabel(this);
    placeControl(firsttime, "firsttime", 240, 2280, 6135, 1095);
    firsttime->setFont(fontOf(sansSerif, 9.75, false));
    firsttime->setWordWrap(true);
    firsttime->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    firsttime->setText(AdminMessages::kWelcomeText);

    chkShow = new QCheckBox(AdminMessages::kShowAtStartup, this);
    placeControl(chkShow, "chkShow", 2160, 3480, 2295, 375);
    chkShow->setFont(fontOf(sansSerif, 8.25, false));
    fitCaption(chkShow);

    cmdContinue = new QPushButton(AdminMessages::kContinue, this);
    placeControl(cmdContinue, "cmdContinue", 2640, 3960, 1335, 495);
    cmdContinue->setDefault(true);
    connect(cmdContinue, &QPushButton::clicked, this, &frmFirstTime::onContinue);

    setFixedSize(twipsToPixels(6585, this), twipsToPixels(4590, this));
}

void frmFirstTime::setShowAtStartup(bool show)
{
    chkShow->setChecked(show);
}

void frmFirstTime::onContinue()
{
    // A greyed (partly checked) box counts as ticked.
    const bool show = chkShow->checkState() != Qt::Unchecked;
    m_context.prompter.ask(show ? AdminMessages::willSeeScreenNextTime() : AdminMessages::canReEnableScreen());
    m_context.settings.FirstRun = show;
    SaveFirstRun(m_context.store, show);
    hide();
    Q_EMIT left();
}

} // namespace Enrolix
