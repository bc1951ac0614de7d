#include "windows/raw_command_window.h"

#include "core/panel.h"
#include "platform/twips.h"
#include "windows/form_place.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using rt::twipsRect;

namespace shell {

Command_TEST::Command_TEST(Panel &panel, QWidget *parent) : QWidget(parent), m_panel(panel)
{
    // The window has always been captioned "Form1".
    setWindowTitle(QStringLiteral("Form1"));
    setFixedSize(rt::twipsSize(6480, 4560));

    Setting_Frame = new QGroupBox(QStringLiteral("Setting"), this);
    Setting_Frame->setGeometry(twipsRect(120, 90, 1800, 1500));
    RS_OPT = new QRadioButton(QStringLiteral("RS-232"), Setting_Frame);
    RS_OPT->setGeometry(twipsRect(180, 420, 1500, 330));

    COM_BR_Frame = new QGroupBox(QStringLiteral("COM and BuadRate"), this);
    COM_BR_Frame->setGeometry(twipsRect(2040, 90, 4320, 1500));
    auto *label5 = new QLabel(QStringLiteral("COM PORT setting :"), COM_BR_Frame);
    label5->setGeometry(twipsRect(150, 420, 2100, 330));
    COM_LIST = new QComboBox(COM_BR_Frame);
    COM_LIST->setGeometry(twipsRect(2280, 390, 1880, 360));
    auto *label4 = new QLabel(QStringLiteral("BuadRate Setting:"), COM_BR_Frame);
    label4->setGeometry(twipsRect(150, 960, 2100, 330));
    BR_LIST = new QComboBox(COM_BR_Frame);
    BR_LIST->setGeometry(twipsRect(2280, 930, 1880, 360));

    TEST_BUTT = new QPushButton(QStringLiteral("TEST"), this);
    TEST_BUTT->setGeometry(twipsRect(2040, 1710, 1320, 420));
    OK_BUTT = new QPushButton(QStringLiteral("OK"), this);
    OK_BUTT->setGeometry(twipsRect(3540, 1710, 1320, 420));
    Setting_BUTT = new QPushButton(QStringLiteral("Setting"), this);
    Setting_BUTT->setGeometry(twipsRect(5040, 1710, 1320, 420));

    auto *label1 = new QLabel(QStringLiteral("Input Command :"), this);
    label1->setGeometry(twipsRect(120, 2340, 1680, 330));
    IN_COMM = new QLineEdit(this);
    IN_COMM->setGeometry(twipsRect(1800, 2310, 3120, 360));
    INPUT_BUTT = new QPushButton(QStringLiteral("Input OK"), this);
    INPUT_BUTT->setGeometry(twipsRect(5040, 2280, 1320, 420));

    OUTPUT_READ = new QPlainTextEdit(this);
    OUTPUT_READ->setGeometry(twipsRect(120, 2820, 6240, 1020));
    OUTPUT_READ->setReadOnly(true);

    Command1 = new QPushButton(QStringLiteral("Clear Output"), this);
    Command1->setGeometry(twipsRect(120, 3990, 1680, 420));
    Quit_BUTT = new QPushButton(QStringLiteral("Quit"), this);
    Quit_BUTT->setGeometry(twipsRect(5040, 3990, 1320, 420));

    COM_LIST->addItems(commandPortItems());
    BR_LIST->addItems(commandBaudItems());

    Form_Load(m_controls);
    RS_OPT->setChecked(true);
    push();

    connect(RS_OPT, &QRadioButton::clicked, this, [this] {
        run([](Panel &, CommandTestControls &w) { RS_OPT_Click(w); });
        COM_BR_Frame->raise();
    });
    connect(TEST_BUTT, &QPushButton::clicked, this,
            [this] { run([](Panel &p, CommandTestControls &w) { TEST_BUTT_Click(p, w); }); });
    connect(OK_BUTT, &QPushButton::clicked, this,
            [this] { run([](Panel &, CommandTestControls &w) { OK_BUTT_Click(w); }); });
    connect(Setting_BUTT, &QPushButton::clicked, this,
            [this] { run([](Panel &, CommandTestControls &w) { Setting_BUTT_Click(w); }); });
    connect(INPUT_BUTT, &QPushButton::clicked, this,
            [this] { run([](Panel &p, CommandTestControls &w) { INPUT_BUTT_Click(p, w); }); });
    connect(IN_COMM, &QLineEdit::returnPressed, INPUT_BUTT, &QPushButton::click);
    connect(Command1, &QPushButton::clicked, this,
            [this] { run([](Panel &, CommandTestControls &w) { Command1_Click(w); }); });
    connect(Quit_BUTT, &QPushButton::clicked, this, [this] {
        Q_EMIT frontPanelWanted();
        unloadForm(this);
    });
}

template <typename Procedure> void Command_TEST::run(Procedure procedure)
{
    pull();
    procedure(m_panel, m_controls);
    push();
}

void Command_TEST::pull()
{
    m_controls.COM_LIST = COM_LIST->currentIndex();
    m_controls.BR_LIST = BR_LIST->currentText();
    m_controls.IN_COMM = IN_COMM->text();
}

void Command_TEST::push()
{
    COM_LIST->setCurrentIndex(m_controls.COM_LIST);
    BR_LIST->setCurrentIndex(BR_LIST->findText(m_controls.BR_LIST));
    const bool unlocked = !m_controls.locked;
    Setting_Frame->setEnabled(unlocked);
    COM_BR_Frame->setEnabled(unlocked);
    OK_BUTT->setEnabled(unlocked);
    if (OUTPUT_READ->toPlainText() != m_controls.OUTPUT_READ)
        OUTPUT_READ->setPlainText(m_controls.OUTPUT_READ);
}

} // namespace shell
