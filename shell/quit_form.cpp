#include "shell/quit_form.h"

#include "platform/twips.h"
#include "shell/status_log.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace shell {

QUIT_Form::QUIT_Form(StatusLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setWindowTitle(QStringLiteral("Form3"));

    // The log on the left, the buttons in a column on the right, in twips
    // as the window was laid out.
    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(rt::twipsRect(60, 60, 2900, 2160));
    Text1->setPlainText(log.text());

    struct Button { QPushButton **slot; const char *caption; };
    const Button buttons[] = {
        {&MODE1_MODE2, "Show Mode"}, {&Clear_BUTT, "Clear Text"}, {&Err_Clear_BUTT, "Clear Error"},
        {&LOAD_BUTT, "Load"},        {&Quit_BUTT, "Quit"},
    };
    int top = 60;
    for (const Button &button : buttons) {
        *button.slot = new QPushButton(QString::fromLatin1(button.caption), this);
        (*button.slot)->setGeometry(rt::twipsRect(3060, top, 1200, 390));
        top += 435;
    }

    connect(&log, &StatusLog::appended, Text1, &QPlainTextEdit::appendPlainText);
    connect(&log, &StatusLog::cleared, Text1, &QPlainTextEdit::clear);
    connect(Clear_BUTT, &QPushButton::clicked, &log, &StatusLog::clear);
}

} // namespace shell
