#pragma once
// The connection settings window "Setting": the serial port and baud rate,
// and "Connect", which tests the link and stores the settings. Its logic is
// in shell/link_test.h; the window shows the lists and forwards the clicks.

#include "shell/link_test.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
struct Panel;

namespace shell {

class Form2 : public QWidget
{
    Q_OBJECT
public:
    Form2(Panel &panel, const QString &programFolder, QWidget *parent = nullptr);

    QGroupBox *Communication_Frame = nullptr;
    QComboBox *COM_PORT_LIST = nullptr;
    QComboBox *BuadRate_LIST = nullptr;
    QPushButton *LINL_TEST = nullptr;
    QPushButton *Quit_BUTT = nullptr;

    // The lists' choices as the procedures see them.
    Form2Controls controls() const;

    // Follows "Random Data": the lists and "Connect" are usable only while
    // it is clear.
    void refreshEnabled();

    void LINL_TEST_Click();
    void Quit_BUTT_Click();

private:
    Panel &m_panel;
    QString m_programFolder;
};

} // namespace shell
