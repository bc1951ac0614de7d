#pragma once
// The raw-command window: pick a port and a baud rate, test the link, then
// type commands and read the replies. Its logic is in shell/raw_command.h;
// the window mirrors the controls into a CommandTestControls and back.

#include "shell/raw_command.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
struct Panel;

namespace shell {

class Command_TEST : public QWidget
{
    Q_OBJECT
public:
    explicit Command_TEST(Panel &panel, QWidget *parent = nullptr);

    QGroupBox *Setting_Frame = nullptr;
    QRadioButton *RS_OPT = nullptr;
    QGroupBox *COM_BR_Frame = nullptr;
    QComboBox *COM_LIST = nullptr;
    QComboBox *BR_LIST = nullptr;
    QPushButton *TEST_BUTT = nullptr;
    QPushButton *OK_BUTT = nullptr;
    QPushButton *Setting_BUTT = nullptr;
    QLineEdit *IN_COMM = nullptr;
    QPushButton *INPUT_BUTT = nullptr;
    QPlainTextEdit *OUTPUT_READ = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Quit_BUTT = nullptr;

    const CommandTestControls &controls() const { return m_controls; }

Q_SIGNALS:
    // Quit: the front panel comes forward again.
    void frontPanelWanted();

private:
    // Controls to the procedures' view, and back.
    void pull();
    void push();
    template <typename Procedure> void run(Procedure procedure);

    Panel &m_panel;
    CommandTestControls m_controls;
};

} // namespace shell
