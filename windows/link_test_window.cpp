#include "windows/link_test_window.h"

#include "core/panel.h"
#include "platform/twips.h"
#include "core/dmm_link.h"
#include "windows/form_place.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using rt::twipsRect;

namespace shell {

Form2::Form2(Panel &panel, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_panel(panel), m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("Setting"));
    setFixedSize(rt::twipsSize(5400, 2520));

    Communication_Frame = new QGroupBox(QStringLiteral("Communication"), this);
    Communication_Frame->setGeometry(twipsRect(120, 90, 5160, 1620));

    auto *portLabel = new QLabel(QStringLiteral("COM PORT:"), Communication_Frame);
    portLabel->setGeometry(twipsRect(180, 420, 1260, 330));
    COM_PORT_LIST = new QComboBox(Communication_Frame);
    COM_PORT_LIST->setGeometry(twipsRect(1500, 390, 3480, 360));

    auto *baudLabel = new QLabel(QStringLiteral("Baud Rate:"), Communication_Frame);
    baudLabel->setGeometry(twipsRect(180, 990, 1260, 330));
    BuadRate_LIST = new QComboBox(Communication_Frame);
    BuadRate_LIST->setGeometry(twipsRect(1500, 960, 3480, 360));

    LINL_TEST = new QPushButton(QStringLiteral("Connect"), this);
    LINL_TEST->setGeometry(twipsRect(1260, 1860, 1500, 450));
    Quit_BUTT = new QPushButton(QStringLiteral("EXIT"), this);
    Quit_BUTT->setGeometry(twipsRect(2940, 1860, 1500, 450));

    // Each port is shown with the device it stands for on this machine.
    const QStringList &ports = form2PortItems();
    for (int i = 0; i < ports.size(); ++i) {
        const QString path = devicePathForPort(i + 1);
        COM_PORT_LIST->addItem(QStringLiteral("%1   %2").arg(ports[i], path));
        COM_PORT_LIST->setItemData(i, path, Qt::ToolTipRole);
    }
    BuadRate_LIST->addItems(form2BaudItems());

    const Form2Controls preset = Form_Load(m_panel);
    COM_PORT_LIST->setCurrentIndex(preset.COM_PORT_LIST);
    BuadRate_LIST->setCurrentIndex(BuadRate_LIST->findText(preset.BuadRate_LIST));
    refreshEnabled();

    connect(LINL_TEST, &QPushButton::clicked, this, &Form2::LINL_TEST_Click);
    connect(Quit_BUTT, &QPushButton::clicked, this, &Form2::Quit_BUTT_Click);
}

Form2Controls Form2::controls() const
{
    return {COM_PORT_LIST->currentIndex(),
            BuadRate_LIST->currentIndex() < 0 ? QString() : BuadRate_LIST->currentText()};
}

void Form2::refreshEnabled()
{
    const bool enabled = linkControlsEnabled(m_panel);
    COM_PORT_LIST->setEnabled(enabled);
    BuadRate_LIST->setEnabled(enabled);
    LINL_TEST->setEnabled(enabled);
}

void Form2::LINL_TEST_Click()
{
    if (shell::LINL_TEST_Click(m_panel, controls(), m_programFolder))
        unloadForm(this);
}

void Form2::Quit_BUTT_Click()
{
    unloadForm(this);
}

} // namespace shell
