#include "admin/frmLocation.h"

#include "admin/AdminMessages.h"
#include "events/EventFiles.h"
#include "gui/AppContext.h"
#include "platform/Clipboard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Enrolix {

frmLocation::frmLocation(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmLocation"));
    setWindowTitle(AdminMessages::kLocationCaption);

    lblLabel1 = new QLabel(AdminMessages::kLocationHeading, this);
    lblLabel1->setObjectName(QStringLiteral("lblLabel1"));
    lbladdress = new QLabel(this);
    lbladdress->setObjectName(QStringLiteral("lbladdress"));
    // No accessible name of its own: a screen reader then reads the address shown, and the
    // caption as its description.
    lbladdress->setAccessibleDescription(lblLabel1->text());
    lbladdress->setFrameStyle(QFrame::Box | QFrame::Plain);
    lbladdress->setBackgroundRole(QPalette::Base);
    lbladdress->setAutoFillBackground(true);
    // Selectable from the keyboard too, so the address can be reached with Tab and read out.
    lbladdress->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lbladdress->setMargin(6);
    lblLabel1->setBuddy(lbladdress);
    cmdCopytoClip = new QPushButton(AdminMessages::kCopyAddress, this);
    cmdCopytoClip->setObjectName(QStringLiteral("cmdCopytoClip"));
    cmdBack2Create = new QPushButton(AdminMessages::kBackToCreate, this);
    cmdBack2Create->setObjectName(QStringLiteral("cmdBack2Create"));

    connect(cmdCopytoClip, &QPushButton::clicked, this, &frmLocation::onCopy);
    connect(cmdBack2Create, &QPushButton::clicked, this, &frmLocation::backRequested);
    placeControls();
}

frmLocation::~frmLocation() = default;

void frmLocation::placeControls()
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCopytoClip);
    buttons->addStretch();
    buttons->addWidget(cmdBack2Create);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 16, 16, 16);
    page->setSpacing(12);
    page->addWidget(lblLabel1);
    page->addWidget(lbladdress);
    page->addStretch();
    page->addLayout(buttons);

    resize(520, 140);
}

QString frmLocation::publishedAddress() const
{
    return EventFiles(m_context.settings).publishedAddress(m_currentEvent);
}

void frmLocation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    lbladdress->setText(publishedAddress());
}

void frmLocation::onCopy()
{
    // Cleared first, so the address is afterwards the clipboard's only content.
    m_context.clipboard.clear();
    m_context.clipboard.setText(publishedAddress());
    m_context.clipboard.beep();
}

} // namespace Enrolix
