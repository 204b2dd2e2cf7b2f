#pragma once

#include "settings/OptionTable.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Enrolix {

struct AppContext;
class BrowseSession;

// Edits the seven settings users may change. The boxes are filled once, when the window is
// created; hiding it keeps whatever they hold until the window is closed through its frame.
class frmOptions final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOptions)

public:
    explicit frmOptions(AppContext& context, QWidget* parent = nullptr);
    ~frmOptions() override;

Q_SIGNALS:
    // A Browse button was pressed: the picker is to fill the session's boxes.
    void browseRequested(BrowseSession* session);
    // OK or Cancel: the dialog hid itself.
    void left();
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void load();
    void browse(std::size_t target);
    void checkInterval();
    void onOK();
    void onCancel();

    AppContext& m_context;
    QPointer<BrowseSession> m_browse;

    QLabel* Label1{nullptr};
    QLabel* Label6{nullptr};
    QLabel* Label5{nullptr};
    QLabel* Label4{nullptr};
    QLabel* Label3{nullptr};
    QLabel* Label11{nullptr};
    QLabel* Label7{nullptr};
    std::array<QLineEdit*, kOptionCount> option{};
    std::array<QPushButton*, 2> cmdSelectDir{};
    QPushButton* cmdOK{nullptr};
    QPushButton* cmdCancel{nullptr};
};

} // namespace Enrolix
