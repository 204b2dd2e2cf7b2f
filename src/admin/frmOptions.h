#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Enrolix {

struct AppContext;

// Edits the seven settings users may change. The boxes are filled once, when the window is
// created; hiding it keeps whatever they hold until the window is closed through its frame.
class frmOptions final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOptions)

public:
    explicit frmOptions(AppContext& context, QWidget* parent = nullptr);
    ~frmOptions() override;

    // The index of the box the directory picker fills (0 or 1).
    qint16 browseTarget() const { return m_browseTarget; }
    // The picker's folder changed: the target box follows, and the page prefix follows the page folder.
    void setBrowsedFolder(const QString& path);
    // The picker was cancelled: the target box (and the page prefix) get the loaded settings back.
    void restoreBrowsedFolder();
    // The picker is gone: take input again and the focus.
    void returnFromPicker();

    QLabel* Label1{nullptr};
    QLabel* Label6{nullptr};
    QLabel* Label5{nullptr};
    QLabel* Label4{nullptr};
    QLabel* Label3{nullptr};
    QLabel* Label11{nullptr};
    QLabel* Label7{nullptr};
    std::array<QLineEdit*, 7> option{};
    std::array<QPushButton*, 2> cmdSelectDir{};
    QPushButton* cmdOK{nullptr};
    QPushButton* cmdCancel{nullptr};

Q_SIGNALS:
    // A Browse button was pressed; browseTarget() tells which box.
    void browseRequested();
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
    void checkInterval();
    void onOK();
    void onCancel();

    AppContext& m_context;
    qint16 m_browseTarget{0};
};

} // namespace Enrolix
