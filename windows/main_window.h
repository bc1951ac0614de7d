#pragma once
// The main window "RAVELO": an MDI parent holding the trend graph, the front
// panel, the readings table and the status window, laid out as one bench
// screen. It owns the front panel's model, timers and channel for the run.

#include "core/panel.h"
#include "shell/setting_rules.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace display {
class PictureStore;
}
namespace scan {
class Scan_Form;
}
namespace runs {
class Graph_Form;
class DATA_Form;
struct RunContext;
}

namespace shell {

class QUIT_Form;
class SHOW_Form;

class MDImain : public QMainWindow
{
    Q_OBJECT
public:
    // The channel is the caller's (a serial port, or the simulator in tests);
    // the program's folder holds the settings record and the pictures.
    MDImain(Class1 &link, const QString &programFolder, QWidget *parent = nullptr);
    ~MDImain() override;

    Panel &panel() { return m_panel; }
    const SettingStartup &settingStartup() const { return m_start; }

    SHOW_Form *showForm() const { return m_show; }
    runs::Graph_Form *graphForm() const { return m_graph; }
    runs::DATA_Form *dataForm() const { return m_data; }
    QUIT_Form *quitForm() const { return m_quit; }
    // The START key's run: its file, clock and hooks into these windows.
    runs::RunContext &run() { return *m_run; }
    QWidget *noticeForm() const { return m_notice; }  // the fast run's runs::Form1, while open
    QMdiSubWindow *window(QWidget *form) const;

    QMenu *SSBS = nullptr;  // "ScanBox Setting", shown while the scanner window is open

    // Opens the scanner window, which reads the scanner's state back first,
    // and shows the "ScanBox Setting" menu until it closes; an open one
    // comes forward. SHIFT with ACV or DCV opens it while the instrument
    // reports a scanner.
    scan::Scan_Form *openScanForm();

    // The program's end asked from outside its windows (a signal): a scan or
    // read-back ends as Stop ends it, a run ends and closes its file, then
    // the main window closes as its close does (the instrument back in
    // local operation, the last command sent) and the event loop ends with
    // 0, whatever other window is open.
    void endProgram();

    // Centres a window on the primary screen, as the old layout did: half
    // the screen less half the window, and 110 twips lower.
    static void CENTER_FORM(QWidget *window);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // How the program was asked to end.
    enum class Ending { None, Close, Quit, Asked };
    // Whatever holds the line lets go of it for the program's end: true
    // when nothing holds it now; otherwise the ending goes on (goOnEnding)
    // once it is free.
    bool lineLetGo(Ending how);
    // The scanner window's run or read-back ends, as Stop or its Quit ends
    // it; the ending goes on when the window lets go of the line.
    bool scannerLetsGo(Ending how);
    // A run of the START key ends after its pass or block and closes its
    // file; the ending goes on once the run is over.
    bool runLetsGo(Ending how);
    void goOnEnding();
    // The status window's Quit: the instrument back in local operation, and
    // the program ends.
    void quitProgram();
    void MDIForm_Load();
    void MDIForm_Resize();
    void placeGraphForm();
    QMdiSubWindow *addForm(QWidget *form, const QRect &twips);
    void buildMenus();
    void connectRun();
    void showNotice();

    PanelParts m_parts;
    PanelState &m_state = m_parts.state;
    StatusLog &m_status = m_parts.status;
    PanelTimers &m_timers = m_parts.timers;
    PanelControls &m_controls = m_parts.controls;
    Panel &m_panel = m_parts.panel;
    std::unique_ptr<display::PictureStore> m_pictures;
    QString m_programFolder;
    SettingStartup m_start;

    QMdiArea *m_area = nullptr;
    runs::Graph_Form *m_graph = nullptr;
    SHOW_Form *m_show = nullptr;
    runs::DATA_Form *m_data = nullptr;
    QUIT_Form *m_quit = nullptr;
    std::unique_ptr<runs::RunContext> m_run;
    QPointer<QWidget> m_notice;
    QPointer<scan::Scan_Form> m_scan;  // the scanner window, while it is open
    bool m_noticeOpen = false;  // the run shows its notice (the user may have closed it)
    bool m_resizing = false;
    bool m_unloaded = false;
    Ending m_ending = Ending::None;
};

} // namespace shell
