#pragma once

class QMainWindow;
class QWidget;

namespace Enrolix {

// The main window's design: where its list and two display boxes stand, and how they follow
// the window's outer size.
class MainLayout
{
public:
    MainLayout(QMainWindow& window, QWidget& list, QWidget& name, QWidget& attendees)
        : m_window(window), m_list(list), m_name(name), m_attendees(attendees)
    {
    }

    // The design positions and the design size.
    void place() const;
    // The resize rules: a minimum outer size of 8000 by 4000 twips; the three controls grow in
    // height, the description box in width, and the sign-up box keeps to the right edge.
    void follow() const;

private:
    QMainWindow& m_window;
    QWidget& m_list;
    QWidget& m_name;
    QWidget& m_attendees;
};

} // namespace Enrolix
