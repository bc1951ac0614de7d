#include "windows/main_window.h"

#include "display/digit_blink.h"
#include "windows/picture_store.h"
#include "platform/dialogs.h"
#include "platform/twips.h"
#include "windows/readings_table_window.h"
#include "windows/fast_notice_window.h"
#include "windows/trend_graph_window.h"
#include "runs/readings_table.h"
#include "runs/record_step.h"
#include "runs/run_control.h"
#include "windows/about_window.h"
#include "windows/link_test_window.h"
#include "windows/form_place.h"
#include "shell/front_panel.h"
#include "windows/status_window.h"
#include "windows/scan_window.h"
#include "windows/front_panel_window.h"
#include "windows/wait_input.h"
#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "shell/speed_check.h"
#include "shell/status.h"
#include "scan/scan_form.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QCoreApplication>
#include <QTimer>

#include <utility>
#include <QUrl>

namespace shell {
namespace {

constexpr int kLoadWidth = 12000;
constexpr int kLoadHeight = 8670;
constexpr int kWidth = 12050;
constexpr int kHeight = 8750;
// How often the program's end looks again whether the line is free.
constexpr int kEndingPollMs = 20;

// The open window of a kind, if any (a closed one may still await deletion).
template <typename Form> Form *openForm(QObject *owner)
{
    for (Form *form : owner->findChildren<Form *>()) {
        if (form->isVisible())
            return form;
    }
    return nullptr;
}

} // namespace

MDImain::MDImain(Class1 &link, const QString &programFolder, QWidget *parent)
    : QMainWindow(parent),
      m_parts(link),
      m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("RAVELO"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    m_area = new QMdiArea(this);
    m_area->setBackground(QColor(96, 100, 106));
    // A window that closes hands on to the one the user was in before, not
    // to the next one made: that would be the trend graph, which lies
    // behind the front panel.
    m_area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_area);
    MDIForm_Load();
}

MDImain::~MDImain()
{
    // Hidden first: the status window's box lets go of the focus while the
    // log it shows still exists.
    hide();
    m_timers.Timer1.setHandler({});
    m_timers.READ_Timer.setHandler({});
    m_timers.STOP_Timer.setHandler({});
}

QMdiSubWindow *MDImain::addForm(QWidget *form, const QRect &twips)
{
    QMdiSubWindow *sub = m_area->addSubWindow(form, Qt::SubWindow | Qt::WindowTitleHint
                                                        | Qt::CustomizeWindowHint);
    sub->setGeometry(rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return sub;
}

QMdiSubWindow *MDImain::window(QWidget *form) const
{
    return form ? qobject_cast<QMdiSubWindow *>(form->parentWidget()) : nullptr;
}

void MDImain::buildMenus()
{
    QAction *settings = menuBar()->addAction(QStringLiteral("Setting(&O)"));
    settings->setObjectName(QStringLiteral("C_B"));
    connect(settings, &QAction::triggered, this, [this] {
        if (Form2 *open = openForm<Form2>(this))
            bringForward(open);
        else
            openFormWindow(this, new Form2(m_panel, m_programFolder), {0, 0});
    });
    SSBS = menuBar()->addMenu(QStringLiteral("ScanBox Setting"));
    SSBS->setObjectName(QStringLiteral("SSBS"));
    QAction *saveSetup = SSBS->addAction(QStringLiteral("Save ScanBox Status(&S)"));
    saveSetup->setObjectName(QStringLiteral("SSBS_SS"));
    connect(saveSetup, &QAction::triggered, this, [this] {
        if (m_scan)
            m_scan->SSBS_SS_Click();
    });
    QAction *loadSetup = SSBS->addAction(QStringLiteral("Load ScanBox Status(&L)"));
    loadSetup->setObjectName(QStringLiteral("SSBS_LS"));
    connect(loadSetup, &QAction::triggered, this, [this] {
        if (m_scan)
            m_scan->File_Open_Ctrl();
    });
    SSBS->addSeparator();
    QAction *openData = SSBS->addAction(QStringLiteral("Open Scan Data(&O)"));
    openData->setObjectName(QStringLiteral("SSBS_LD"));
    connect(openData, &QAction::triggered, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_programFolder + QStringLiteral("/SCAN DATA/")));
    });
    QAction *about = menuBar()->addAction(QStringLiteral("About(&A)"));
    about->setObjectName(QStringLiteral("A_H"));
    connect(about, &QAction::triggered, this, [this] {
        if (AboutBox *open = openForm<AboutBox>(this))
            bringForward(open);
        else
            openFormWindow(this, new AboutBox(m_state.BRAND_CODE), {0, 0});
    });
}

void MDImain::MDIForm_Load()
{
    resize(rt::twipsSize(kLoadWidth, kLoadHeight));
    CENTER_FORM(this);
    m_state.BRAND_CODE = QStringLiteral("VX");
    m_state.NAME_DONE = false;
    m_state.RECORD_COUNT = 0;
    buildMenus();
    SSBS->menuAction()->setVisible(false);

    m_graph = new runs::Graph_Form;
    addForm(m_graph, {0, 0, 6630, 5000});
    placeGraphForm();

    m_pictures = std::make_unique<display::PictureStore>(m_programFolder + QStringLiteral("/DISPLAY_BMP"));
    m_pictures->setStatusSink([this](const QString &line) { m_status.append(line); });
    m_start = SHOW_Form_Load(m_panel, m_programFolder);
    m_timers.Timer1.setHandler([this] { Timer1_Timer(m_panel); });
    m_timers.IMG_Timer.setHandler([this] { display::IMG_Timer_Timer(m_panel); });
    keys::connectKeyTimers(m_panel);
    m_show = new SHOW_Form(m_panel, *m_pictures);
    addForm(m_show, {0, 0, 11800, 5000});
    // While the scanner window holds the line the panel's keys refuse every
    // press; the panel does not come forward for one.
    windows::keepBackPresses(m_panel.link, [this](const QObject *control, QPoint at) {
        return control == m_show && m_panel.state.scanRunning && m_show->isKeyAt(at);
    });
    connect(m_show, &SHOW_Form::closing, this, [this] {
        if (!m_unloaded) {
            m_unloaded = true;
            SHOW_Form_Unload(m_panel);
        }
    });

    const int panelHeight = 5000;
    m_data = new runs::DATA_Form;
    addForm(m_data, {0, panelHeight + 20, 7300, 2750});
    m_quit = new QUIT_Form(m_panel);
    addForm(m_quit, {7300 + 20, panelHeight + 30, 4470, 2750});
    for (QMdiSubWindow *sub : m_area->subWindowList())
        sub->show();
    connectRun();
    connect(m_quit, &QUIT_Form::quitClicked, this, &MDImain::quitProgram);
    connect(m_quit, &QUIT_Form::frontPanelWanted, this, [this] { bringForward(m_show); });
    connect(m_show, &SHOW_Form::CHK_COM_TF_Click, this, [this] {
        CHK_COM_TF_Click(m_panel);
        if (Form2 *open = openForm<Form2>(this))
            open->refreshEnabled();
    });
    connect(m_show, &SHOW_Form::Speed_TIME_Click, this, [this] { Speed_TIME_Click(m_panel); });
    connect(m_show, &SHOW_Form::CONT_TIME_LIST_Click, this, [this] { CONT_TIME_LIST_Click(m_panel); });

    // The record-name box comes forward for a moment to give its name.
    m_controls.INPU_NAME_Frame_front = true;
    m_controls.touch();
    m_show->INPU_NAME_TEXT->setFocus();
    m_show->INPU_NAME_TEXT->selectAll();
    m_state.LOG_NAME = m_controls.INPU_NAME_TEXT;
    m_controls.INPU_NAME_Frame_front = false;
    m_controls.touch();

    setFixedSize(rt::twipsSize(kWidth, kHeight));
    CENTER_FORM(this);
}

void MDImain::connectRun()
{
    m_run = std::make_unique<runs::RunContext>(m_panel, *m_data->model());
    m_graph->connectRun(*m_run);
    runs::connectRunTimers(*m_run);
    connect(&m_run->events, &runs::RunEvents::loadButtonEnabled, m_quit->LOAD_BUTT, &QWidget::setEnabled);
    connect(&m_run->events, &runs::RunEvents::nameBoxOpened, this, [this] {
        m_show->INPU_NAME_TEXT->setFocus();
        m_show->INPU_NAME_TEXT->selectAll();
    });
    connect(&m_run->notice, &runs::FastNotice::changed, this, &MDImain::showNotice);
    connect(m_show, &SHOW_Form::START_IMG_MouseDown, this, [this] { runs::START_IMG_MouseDown(*m_run); });
    connect(m_show, &SHOW_Form::START_IMG_MouseUp, this, [this] { runs::START_IMG_MouseUp(*m_run); });
    connect(m_show, &SHOW_Form::SAVE_CHK_Click, this, [this] { runs::SAVE_CHK_Click(*m_run); });
    // The keys: SHIFT with ACV or DCV stops a run its timer drives, as the
    // run's Stop does, and opens the scanner window.
    connect(m_show, &SHOW_Form::BUTT1_IMG_MouseDown, this, [this](int key, qint64 at) {
        keys::BUTT1_IMG_MouseDown(m_panel, key,
                                  {.stopRun = [this] { runs::Form1_Command1_Click(*m_run); },
                                   .openScanner = [this] { openScanForm(); },
                                   .recordTriggered = [this] { runs::SHOW_Graph(*m_run); }},
                                  at);
    });
    connect(m_show, &SHOW_Form::BUTT1_IMG_MouseUp, this,
            [this](int key, qint64 at) { keys::BUTT1_IMG_MouseUp(m_panel, key, at); });
    connect(m_show, &SHOW_Form::SHIFT_IMG_MouseDown, this, [this] { keys::SHIFT_IMG_MouseDown(m_panel); });
    connect(m_show, &SHOW_Form::SHIFT_IMG_MouseUp, this, [this] { keys::SHIFT_IMG_MouseUp(m_panel); });
    connect(m_show, &SHOW_Form::Clear_DATA_BUTT_Click, this,
            [this] { runs::Clear_DATA_BUTT_Click(m_state, *m_data->model()); });
    connect(m_show->INPU_NAME_OK, &QPushButton::clicked, this, [this] { runs::INPU_NAME_OK_Click(*m_run); });
    connect(m_show->NAME_BUTT_CANC, &QPushButton::clicked, this,
            [this] { runs::NAME_BUTT_CANC_Click(*m_run); });
}

// The fast run's notice window: opened when the run shows it, refreshed
// while it runs, unloaded at the end. Closed by the user, it stays closed.
void MDImain::showNotice()
{
    const runs::FastNotice &notice = m_run->notice;
    if (notice.shown && !m_noticeOpen) {
        m_noticeOpen = true;
        m_notice = new runs::Form1(notice, [this] { runs::Form1_Command1_Click(*m_run); });
        openFormWindow(this, m_notice, {2400, 600});
    } else if (!notice.shown && m_noticeOpen) {
        m_noticeOpen = false;
        if (m_notice)
            unloadForm(m_notice);
        // The panel, not the graph window behind it, comes forward again.
        bringForward(m_show);
    } else if (auto *open = qobject_cast<runs::Form1 *>(m_notice.data())) {
        open->refresh();
    }
}

scan::Scan_Form *MDImain::openScanForm()
{
    if (m_scan && m_scan->isVisibleTo(this)) {
        bringForward(m_scan);
        return m_scan;
    }
    SSBS->menuAction()->setVisible(true);
    m_scan = new scan::Scan_Form(m_panel);
    // Its waits take the program's Quit too.
    m_scan->hearDuringWaits(m_quit->Quit_BUTT);
    connect(&m_scan->controls(), &scan::ScanControls::lineReleased, this, [this] {
        if (m_ending != Ending::None)
            QTimer::singleShot(0, this, &MDImain::goOnEnding);
    });
    connect(m_scan, &scan::Scan_Form::unloading, this, [this] {
        SSBS->menuAction()->setVisible(false);
        // The panel the user opened it from comes forward again, not the
        // window the work area would pick next (the graph behind it).
        QTimer::singleShot(0, this, [this] { bringForward(m_show); });
    });
    openFormWindow(this, m_scan, {0, 0});
    if (QMdiSubWindow *sub = window(m_scan))
        sub->resize(rt::twipsSize(scan::Scan_Form::kWidth, scan::Scan_Form::kHeight));
    // Shown first: on a slow line the read-back takes a while, and its
    // progress and Quit are in view meanwhile.
    if (!m_scan->load())
        return nullptr;
    return m_scan;
}

void MDImain::placeGraphForm()
{
    if (QMdiSubWindow *sub = window(m_graph))
        sub->setGeometry(rt::twipsRect(0, 0, 6630, 5000));
    m_graph->placeControls();
}

void MDImain::CENTER_FORM(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const int left = available.width() / 2 - window->width() / 2;
    const int top = available.height() / 2 - window->height() / 2 + rt::twipsToPixels(110);
    window->move(available.left() + left, available.top() + top);
}

void MDImain::MDIForm_Resize()
{
    if (m_resizing)
        return;
    m_resizing = true;
    if (isMaximized())
        showNormal();
    resize(rt::twipsSize(kWidth, kHeight));
    if (m_graph)
        placeGraphForm();
    m_resizing = false;
}

void MDImain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void MDImain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized())
        MDIForm_Resize();
}

bool MDImain::lineLetGo(Ending how)
{
    // A close that comes while a signal's end waits for the line leaves
    // that end to go on (it ends the event loop whatever else is open).
    if (m_ending == Ending::Asked)
        how = Ending::Asked;
    return scannerLetsGo(how) && runLetsGo(how);
}

bool MDImain::scannerLetsGo(Ending how)
{
    if (!m_scan || !m_scan->controls().run.holdsLine())
        return true;
    m_ending = how;
    if (!scan::letGoForProgramEnd(m_scan->context()))
        return false;
    m_ending = Ending::None;
    return true;
}

bool MDImain::runLetsGo(Ending how)
{
    // A timer-driven run (a demonstration run) ends at once; a loop holds
    // the event thread until its pass or block is in, and the name box
    // until it gives up.
    switch (m_panel.state.runPhase) {
    case RunPhase::Idle:
    case RunPhase::Timed:
        return true;
    case RunPhase::Naming:
    case RunPhase::NormalLoop:
    case RunPhase::FastLoop:
    case RunPhase::Ending:
        break;
    }
    m_ending = how;
    runs::programEnding(*m_run);
    QTimer::singleShot(kEndingPollMs, this, &MDImain::goOnEnding);
    return false;
}

void MDImain::goOnEnding()
{
    // Never inside another exchange's wait: its SYST:LOC would be refused.
    if (m_panel.link.isWaiting()) {
        QTimer::singleShot(kEndingPollMs, this, &MDImain::goOnEnding);
        return;
    }
    switch (std::exchange(m_ending, Ending::None)) {
    case Ending::None:
        return;
    case Ending::Close:
        close();
        return;
    case Ending::Quit:
        quitProgram();
        return;
    case Ending::Asked:
        endProgram();
        return;
    }
}

void MDImain::endProgram()
{
    // The line is let go first (Stop is heard inside a wait as well);
    // the closing itself waits for the wait.
    if (!lineLetGo(Ending::Asked))
        return;
    if (m_panel.link.isWaiting()) {
        m_ending = Ending::Asked;
        QTimer::singleShot(kEndingPollMs, this, &MDImain::goOnEnding);
        return;
    }
    if (close())
        QCoreApplication::exit(0);
}

void MDImain::quitProgram()
{
    if (!lineLetGo(Ending::Quit))
        return;
    Quit_BUTT_Click(m_panel);  // the instrument back in local operation
    m_unloaded = true;
    runs::programEnding(*m_run);
    // Ends the event loop at once: the windows close without their own
    // unload steps, which would otherwise return the instrument to local
    // operation a second time.
    QCoreApplication::exit(0);
}

void MDImain::closeEvent(QCloseEvent *event)
{
    // A scan or read-back ends first, as Stop or Quit ends it, and a run
    // after its pass or block, its file closed; the closing goes on once
    // the line is free, so that the instrument's release comes last.
    if (!lineLetGo(Ending::Close)) {
        event->ignore();
        return;
    }
    runs::programEnding(*m_run);
    if (!m_unloaded) {
        m_unloaded = true;
        SHOW_Form_Unload(m_panel);
    }
    m_timers.Timer1.setEnabled(false);
    event->accept();
}

} // namespace shell
