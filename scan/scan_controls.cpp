#include "scan/scan_controls.h"

#include "core/panel_state.h"

namespace scan {

bool isDigitKey(QChar key)
{
    return (key >= u'0' && key <= u'9') || key == QChar(8);
}

bool isSetupNameKey(QChar key)
{
    return (key >= u'A' && key <= u'Z') || (key >= u'a' && key <= u'z')
           || (key >= u'0' && key <= u'9') || key == u'_' || key == QChar(8);
}

ScanControls::ScanControls(QObject *parent) : QObject(parent)
{
    connect(&table, &ChannelTable::changed, this, &ScanControls::changed);
}

void ScanControls::setPhase(RunPhase phase, shell::PanelState &panel)
{
    const bool released = m_run.holdsLine() && phase == RunPhase::Idle;
    m_run.m_phase = phase;
    if (phase != RunPhase::ReadingBack)
        m_run.m_stopAsked = false;
    if (phase == RunPhase::ReadingBack)
        m_run.m_quitAsked = false;
    if (phase == RunPhase::Running)
        m_run.m_passArmed = false;
    panel.scanRunning = m_run.holdsLine();
    touch();
    if (released)
        emit lineReleased();
}

PhaseScope::PhaseScope(ScanControls &c, RunPhase phase, shell::PanelState &panel, std::function<void()> leave)
    : m_c(c), m_panel(panel), m_leave(std::move(leave))
{
    m_c.setPhase(phase, m_panel);
}

PhaseScope::~PhaseScope()
{
    if (m_kept || !m_c.run.holdsLine())
        return;
    if (m_leave) {
        try {
            m_leave();
        } catch (...) {
            // Idle all the same, below: a window that holds the line for
            // nobody would refuse every click from now on.
        }
    }
    if (m_c.run.holdsLine())
        m_c.setPhase(RunPhase::Idle, m_panel);
}

ControlsEnabled controlsEnabled(const ScanControls &c)
{
    if (c.closing)
        return {.tabs = false, .tableButtons = false, .settings = false, .repeat = false, .saveData = false,
                .start = false, .stop = false, .quit = false, .setupFiles = false};
    ControlsEnabled e;
    const bool idle = !c.run.holdsLine();
    e.tabs = !c.run.readingBack();
    e.tableButtons = e.settings = e.saveData = e.start = e.setupFiles = idle;
    e.repeat = idle && c.Repeat_TEXT_enabled;
    e.stop = !c.run.readingBack();
    e.quit = !c.run.running();
    return e;
}

void ScanControls::selectRunMode(int option)
{
    if (option == Cont_OPT || (option != 0 && option != 1))
        return;
    Cont_OPT = option;
    Cont_OPT_Click(option);
}

void ScanControls::setCheck1(bool checked)
{
    if (checked == Check1)
        return;
    Check1 = checked;
    selectRunMode(checked ? 1 : 0);
    touch();
}

void ScanControls::Cont_OPT_Click(int option)
{
    const bool continuous = option == 1;
    Repeat_TEXT_enabled = !continuous;
    Repeat_LAB_color = continuous ? kCaptionGrey : kCaptionBlack;
    Cont_OPT1_color = continuous ? kCaptionBlack : kCaptionGrey;
    touch();
}

void ScanControls::showStatus(const QString &caption, const QColor &colour)
{
    if (SET_SHOW_visible && SET_SHOW == caption && SET_SHOW_color == colour)
        return;
    SET_SHOW = caption;
    SET_SHOW_color = colour;
    SET_SHOW_visible = true;
    emit statusChanged();
}

void ScanControls::showStatus()
{
    if (SET_SHOW_visible)
        return;
    SET_SHOW_visible = true;
    emit statusChanged();
}

void ScanControls::hideStatus()
{
    if (!SET_SHOW_visible)
        return;
    SET_SHOW_visible = false;
    emit statusChanged();
}

void SCAN_GRID_INIT(ScanControls &c)
{
    for (int grid = 0; grid < 2; ++grid) {
        c.Scan_Grid[std::size_t(grid)].setHeadings(scanGridHeadings(grid));
        c.Scan_Grid[std::size_t(grid)].setDataRows(1);
    }
}

} // namespace scan
