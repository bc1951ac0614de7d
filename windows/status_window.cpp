#include "windows/status_window.h"

#include "core/panel.h"
#include "windows/loader_window.h"
#include "platform/twips.h"
#include "windows/raw_command_window.h"
#include "windows/form_place.h"
#include "shell/status.h"

#include <QCoreApplication>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

namespace shell {
namespace {


} // namespace

QUIT_Form::QUIT_Form(Panel &panel, QWidget *parent) : QWidget(parent), m_panel(panel)
{
    setWindowTitle(QStringLiteral("Form3"));

    // The log on the left, the buttons in a column on the right, in twips
    // as the window was laid out.
    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(rt::twipsRect(60, 60, 2900, 2160));
    // The box shows and edits the log's own document.
    QTextDocument &log = panel.status.document();
    if (!qobject_cast<QPlainTextDocumentLayout *>(log.documentLayout()))
        log.setDocumentLayout(new QPlainTextDocumentLayout(&log));
    Text1->setDocument(&log);

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

    connect(&panel.status, &StatusLog::appended, this, &QUIT_Form::logAppended);
    connect(Text1, &QPlainTextEdit::textChanged, this, &QUIT_Form::Text1_Change);

    connect(MODE1_MODE2, &QPushButton::clicked, this, [this] { shell::MODE1_MODE2(m_panel); });
    connect(Clear_BUTT, &QPushButton::clicked, this, [this] { Clear_BUTT_Click(m_panel); });
    connect(Err_Clear_BUTT, &QPushButton::clicked, this, [this] { Err_Clear_BUTT_Click(m_panel); });
    connect(LOAD_BUTT, &QPushButton::clicked, this, &QUIT_Form::LOAD_BUTT_Click);
    connect(Quit_BUTT, &QPushButton::clicked, this, &QUIT_Form::Quit_BUTT_Click);
}

Command_TEST *QUIT_Form::commandTest() const { return m_commandTest; }
loader::Form_LD *QUIT_Form::loaderForm() const { return m_loader; }

void QUIT_Form::logAppended()
{
    // The newest line stays in view.
    Text1->moveCursor(QTextCursor::End);
    Text1->ensureCursorVisible();
}

void QUIT_Form::Text1_Change()
{
    if (!shell::Text1_Change(m_panel))
        return;
    if (m_commandTest) {
        bringForward(m_commandTest);
        return;
    }
    m_commandTest = new Command_TEST(m_panel);
    connect(m_commandTest, &Command_TEST::frontPanelWanted, this, &QUIT_Form::frontPanelWanted);
    openFormWindow(this, m_commandTest, {0, 0});
}

void QUIT_Form::LOAD_BUTT_Click()
{
    if (!m_loader) {
        m_loader = new loader::Form_LD;
        connect(&m_loader->state(), &loader::Loader::told, &m_panel.status, &StatusLog::append);
        // "Return to Main": the front panel comes forward again once the
        // loader has gone, not the window the work area would pick next
        // (the trend graph behind the panel).
        connect(m_loader, &QObject::destroyed, this,
                [this] { QTimer::singleShot(0, this, &QUIT_Form::frontPanelWanted); });
        openFormWindow(this, m_loader, {0, 0});
    } else {
        bringForward(m_loader);
    }
}

void QUIT_Form::Quit_BUTT_Click()
{
    Q_EMIT quitClicked();
}

} // namespace shell
