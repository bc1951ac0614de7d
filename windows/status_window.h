#pragma once
// The status window: the status log and the buttons "Show Mode",
// "Clear Text", "Clear Error", "Load" and "Quit". The user may type into the
// log; the text box and the StatusLog always hold the same lines. Typing
// the phrase "fetch sample" alone while no run is timed opens the
// raw-command window. Its logic is in shell/status_window.h.

#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
struct Panel;

namespace loader {
class Form_LD;
}

namespace shell {

class Command_TEST;

class QUIT_Form : public QWidget
{
    Q_OBJECT
public:
    explicit QUIT_Form(Panel &panel, QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
    QPushButton *MODE1_MODE2 = nullptr;
    QPushButton *Clear_BUTT = nullptr;
    QPushButton *Err_Clear_BUTT = nullptr;
    QPushButton *LOAD_BUTT = nullptr;
    QPushButton *Quit_BUTT = nullptr;

    // The windows this one opened, while they are open.
    Command_TEST *commandTest() const;
    loader::Form_LD *loaderForm() const;

Q_SIGNALS:
    // Quit was clicked: the main window ends the program (once a scanner
    // window that holds the line has let go of it).
    void quitClicked();
    // The raw-command window's Quit and the loader's "Return to Main" bring
    // the front panel forward.
    void frontPanelWanted();

private:
    void logAppended();
    void Text1_Change();
    void LOAD_BUTT_Click();
    void Quit_BUTT_Click();

    Panel &m_panel;
    QPointer<Command_TEST> m_commandTest;
    QPointer<loader::Form_LD> m_loader;
};

} // namespace shell
