#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Enrolix {

struct AppContext;

// The create dialog: the coordinator types the event information and date(s) and creates the
// event. Navigation (back to the main window, on to the address window) is wired by Windows.
class frmCreate final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmCreate)

public:
    explicit frmCreate(AppContext& context, QWidget* parent = nullptr);
    ~frmCreate() override;

    // Empties the date box, as coming back from the address window does; the event information stays.
    void clearDates();

Q_SIGNALS:
    // The event's files are all written; its address can be shown.
    void created(const QString& event);
    // "Back to Admin Panel": the texts stay in the boxes.
    void returnRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeControls();
    void onCreate();

    AppContext& m_context;

    QLabel* lblNewEventTitle{nullptr};
    QLabel* lblCreateEvent{nullptr};
    QLabel* lblEventInfo{nullptr};
    QPlainTextEdit* txtTextBox1{nullptr};
    QLabel* lblEventDates{nullptr};
    QPlainTextEdit* txtTextBox2{nullptr};
    QLabel* Label1{nullptr};
    QPushButton* cmdCreate{nullptr};
    QLabel* lblEventNote{nullptr};
    QPushButton* cmdReturn{nullptr};
};

} // namespace Enrolix
