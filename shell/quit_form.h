#pragma once
// The status window: the status log and the buttons "Show Mode",
// "Clear Text", "Clear Error", "Load" and "Quit".

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace shell {

class StatusLog;

class QUIT_Form : public QWidget
{
    Q_OBJECT
public:
    explicit QUIT_Form(StatusLog &log, QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
    QPushButton *MODE1_MODE2 = nullptr;
    QPushButton *Clear_BUTT = nullptr;
    QPushButton *Err_Clear_BUTT = nullptr;
    QPushButton *LOAD_BUTT = nullptr;
    QPushButton *Quit_BUTT = nullptr;

private:
    StatusLog &m_log;
};

} // namespace shell
