#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace Enrolix {

struct AppContext;

// The address window: shows the published address of the event created last, for copying.
class frmLocation final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmLocation)

public:
    explicit frmLocation(AppContext& context, QWidget* parent = nullptr);
    ~frmLocation() override;

    // The event whose address the window shows from its next showing on.
    void setCurrentEvent(const QString& event) { m_currentEvent = event; }

Q_SIGNALS:
    // "Back to Create Panel".
    void backRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeControls();
    QString publishedAddress() const;
    void onCopy();

    AppContext& m_context;
    QString m_currentEvent;

    QLabel* lblLabel1{nullptr};
    QLabel* lbladdress{nullptr};
    QPushButton* cmdCopytoClip{nullptr};
    QPushButton* cmdBack2Create{nullptr};
};

} // namespace Enrolix
