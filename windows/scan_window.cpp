#include "windows/scan_window.h"
#include "windows/list_items.h"

#include "scan/form_change.h"
#include "scan/scan_run.h"
#include "scan/setup_files.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/twips.h"
#include "windows/form_place.h"
#include "windows/wait_input.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(rt::twipsRect(left, top, width, height));
}

// The channel table, in twips: bank A and channel 117 in the left column,
// bank B and channel 118 in the right one, as the result grids group them.
constexpr int kTableTop = 240;
constexpr int kRowPitch = 390;
constexpr int kRowHeight = 330;
constexpr int kColumnLeft[2] = {240, 5880};
constexpr int kCurrentGap = 120;  // sets the current channel apart from its bank
// Within a row: channel number, ON:, function, Auto:, range.
constexpr int kCellLeft[5] = {0, 600, 1380, 2760, 3660};
constexpr int kCellWidth[5] = {560, 720, 1320, 870, 1260};

constexpr int kTabsLeft = 120;
constexpr int kTabsTop = 120;
constexpr int kTabsWidth = 11460;
constexpr int kTabsHeight = 4900;
// Below the table, in three columns: the scan settings; the run mode;
// the run buttons and the status line. The SAVE DATA name box opens at its
// designed place, right of SAVE DATA below the run mode, where no control
// lies; the set-up name box beside it on the right.
constexpr int kBottomTop = 5160;
constexpr int kLinePitch = 420;
constexpr int kModeLeft = 2760;
constexpr int kRunLeft = 5940;
constexpr Scan_Form::NameBoxPlace kDataNameBox{{kNameBoxAfterOk.x(), kNameBoxAfterOk.y(), 4050, 1050}, 1};
constexpr Scan_Form::NameBoxPlace kSetupNameBox{{6780, 6000, 4860, 1290}, 2};

// Where each channel sits: column and row.
int columnOf(int i) { return i < 8 || i == 16 ? 0 : 1; }
int rowOf(int i) { return i >= 16 ? 8 : i % 8; }

void showList(QComboBox *box, const ScanList &list)
{
    const QSignalBlocker quiet(box);
    windows::showItems(box, list.items);
    box->setCurrentIndex(list.index);
    box->setEnabled(list.enabled);
}

void showCheck(QCheckBox *box, const ScanCheck &check)
{
    const QSignalBlocker quiet(box);
    box->setChecked(check.checked);
    box->setEnabled(check.enabled);
}

void showText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// A result column as wide as the widest result in the grid's font, its
// digits drawn as the font's widest digit, with the margins the style puts
// round an item's text and the grid line: no result is cut short. Never
// narrower than the designed column.
int resultColumnWidth(const QTableView *grid)
{
    const QFontMetrics metrics = grid->fontMetrics();
    QChar widestDigit = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QChar(digit);
    }
    QStyleOptionViewItem item;
    item.initFrom(grid);
    item.font = grid->font();
    item.fontMetrics = metrics;
    item.features = QStyleOptionViewItem::HasDisplay;
    item.displayAlignment = Qt::AlignCenter;
    const int gridLine = grid->showGrid() ? 1 : 0;
    int width = rt::twipsToPixels(kScanGridColumnTwips);
    for (QString text : widestResults()) {
        item.text = text.replace(u'0', widestDigit);
        const QSize needed = grid->style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, {}, grid);
        width = std::max(width, needed.width() + gridLine);
    }
    return width;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    w->setPalette(palette);
}

} // namespace

Scan_Form::Scan_Form(Panel &panel, QWidget *parent)
    : QWidget(parent),
      m_context{panel, m_controls, {}}
{
    setWindowTitle(u"Scan"_s);
    resize(rt::twipsSize(kWidth, kHeight));

    tabs = new QTabWidget(this);
    place(tabs, kTabsLeft, kTabsTop, kTabsWidth, kTabsHeight);
    auto *tablePage = new QWidget;
    auto *gridPage = new QWidget;
    tabs->addTab(tablePage, u"Channel Setting"_s);
    tabs->addTab(gridPage, u"Scan Data"_s);
    buildTable(tablePage);
    buildGrids(gridPage);
    buildSettings();

    INPU_NAME_Frame = buildNameBox(u"Please key in the save data name."_s, kDataNameBox, INPU_NAME_TEXT,
                                   INPU_NAME_OK, NAME_BUTT_CANC);
    SSBS_Frame = buildNameBox(u"Please key in the save Scanbox setting status name."_s, kSetupNameBox,
                              SSBS_Input_Text, SSBS_OK_BUTT, SSBS_Cancel_Butt);

    connectControls();
    m_context.inputDuringWaits = [this](std::function<void()> refused) -> std::shared_ptr<void> {
        return std::make_shared<windows::InputDuringWaits>(
            m_context.panel.link,
            windows::WaitInput{[this](const QObject *target) { return heardDuringWaits(target); }, std::move(refused)});
    };
    connect(&m_controls, &ScanControls::changed, this, &Scan_Form::refresh);
    refresh();
}

bool Scan_Form::load()
{
    Form_Load(m_context);
    refresh();
    if (!m_controls.run.quitAsked())
        return true;
    shell::unloadForm(this);
    return false;
}

Scan_Form::~Scan_Form()
{
    // The grids' models are members, gone before the child views.
    for (QTableView *grid : Scan_Grid)
        grid->setModel(nullptr);
}

void Scan_Form::buildTable(QWidget *page)
{
    for (int i = 0; i < kChannelCount; ++i) {
        const int left = kColumnLeft[columnOf(i)];
        const int top = kTableTop + rowOf(i) * kRowPitch + (i >= 16 ? kCurrentGap : 0);
        auto *number = new QLabel(QString::number(kFirstChannel + i), page);
        CHN_CHK[std::size_t(i)] = new QCheckBox(u"ON:"_s, page);
        MODE_Comb[std::size_t(i)] = new QComboBox(page);
        S_Auto_CHK[std::size_t(i)] = new QCheckBox(u"Auto:"_s, page);
        Combo2[std::size_t(i)] = new QComboBox(page);
        QWidget *cells[5] = {number, CHN_CHK[std::size_t(i)], MODE_Comb[std::size_t(i)],
                             S_Auto_CHK[std::size_t(i)], Combo2[std::size_t(i)]};
        for (int cell = 0; cell < 5; ++cell)
            place(cells[cell], left + kCellLeft[cell], top, kCellWidth[cell], kRowHeight);
        number->setObjectName(u"CHAN_LAB%1"_s.arg(i));
        CHN_CHK[std::size_t(i)]->setObjectName(u"CHN_CHK%1"_s.arg(i));
        MODE_Comb[std::size_t(i)]->setObjectName(u"MODE_Comb%1"_s.arg(i));
        S_Auto_CHK[std::size_t(i)]->setObjectName(u"S_Auto_CHK%1"_s.arg(i));
        Combo2[std::size_t(i)]->setObjectName(u"Combo2%1"_s.arg(i));
    }

    const int buttonsTop = kTableTop + 9 * kRowPitch + kCurrentGap + 180;
    const std::pair<QPushButton **, QString> buttons[] = {
        {&On_All_Open_Butt, u"On All Open"_s},
        {&On_All_Clear_Butt, u"On All Clear"_s},
        {&Auto_All_Open_Butt, u"Auto All Open"_s},
        {&Auto_All_Clear_Butt, u"Auto All Clear"_s},
    };
    int left = kColumnLeft[0];
    for (const auto &[button, caption] : buttons) {
        *button = new QPushButton(caption, page);
        place(*button, left, buttonsTop, 1680, 420);
        left += 1800;
    }
}

void Scan_Form::buildGrids(QWidget *page)
{
    for (int g = 0; g < 2; ++g) {
        QTableView *grid = Scan_Grid[std::size_t(g)] = new QTableView(page);
        grid->setModel(&m_controls.Scan_Grid[std::size_t(g)]);
        place(grid, 120, 120 + g * 2160, 10980, 2040);
        // Up to 9,999 rows of one height: fixed sections keep the view from
        // measuring each.
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->verticalHeader()->hide();
        grid->horizontalHeader()->setDefaultSectionSize(resultColumnWidth(grid));
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    // Both grids show the same passes: scrolling one scrolls the other.
    QScrollBar *bars[2] = {Scan_Grid[0]->verticalScrollBar(), Scan_Grid[1]->verticalScrollBar()};
    for (int g = 0; g < 2; ++g) {
        QScrollBar *other = bars[1 - g];
        connect(bars[g], &QScrollBar::valueChanged, other, &QScrollBar::setValue);
    }
}

void Scan_Form::buildSettings()
{
    struct Setting
    {
        QLineEdit **box;
        const char16_t *label;
        int length;
    };
    const Setting settings[] = {
        {&Count_TEXT, u"Count(1~999):", kCountLength},
        {&Timer_TEXT, u"Scan Delay:", kDelayLength},
        {&SYS_DEL_TEXT, u"System Delay:", kDelayLength},
    };
    int top = kBottomTop;
    for (const Setting &s : settings) {
        auto *label = new QLabel(QString::fromUtf16(s.label), this);
        place(label, 120, top, 1620, kRowHeight);
        *s.box = new QLineEdit(this);
        (*s.box)->setMaxLength(s.length);
        (*s.box)->installEventFilter(this);
        place(*s.box, 1740, top, 780, kRowHeight);
        top += kLinePitch;
    }
    Save_DATA_CHK = new QCheckBox(u"SAVE DATA"_s, this);
    place(Save_DATA_CHK, 120, top, 2400, kRowHeight);

    // The run mode: the repeat-count option has no caption of its own; the
    // repeat count's label beside it is its caption, and turns grey with it.
    Cont_OPT[0] = new QRadioButton(this);
    place(Cont_OPT[0], kModeLeft, kBottomTop, 300, kRowHeight);
    Repeat_LAB = new QLabel(u"Repeat(1~1000):"_s, this);
    place(Repeat_LAB, kModeLeft + 330, kBottomTop, 1560, kRowHeight);
    Cont_OPT[0]->setAccessibleName(Repeat_LAB->text());
    Repeat_TEXT = new QLineEdit(this);
    Repeat_TEXT->setMaxLength(kRepeatLength);
    Repeat_TEXT->installEventFilter(this);
    place(Repeat_TEXT, kModeLeft + 1980, kBottomTop, 780, kRowHeight);
    Cont_OPT[1] = new QRadioButton(u"Continuous"_s, this);
    place(Cont_OPT[1], kModeLeft, kBottomTop + kLinePitch, 1500, kRowHeight);
    Check1 = new QCheckBox(u"Continuous"_s, this);
    place(Check1, kModeLeft + 1560, kBottomTop + kLinePitch, 1500, kRowHeight);

    const std::pair<QPushButton **, QString> buttons[] = {
        {&Scan_BUTT, u"Scan"_s}, {&STEP_BUTT, u"Step"_s}, {&STOP_BUTT, u"Stop"_s}};
    int left = kRunLeft;
    for (const auto &[button, caption] : buttons) {
        *button = new QPushButton(caption, this);
        place(*button, left, kBottomTop, 1140, 450);
        left += 1260;
    }
    Quit_BUTT = new QPushButton(u"Quit"_s, this);
    place(Quit_BUTT, 10440, kBottomTop, 1140, 450);
    SET_SHOW = new QLabel(this);
    SET_SHOW->setFrameShape(QFrame::Panel);
    SET_SHOW->setFrameShadow(QFrame::Sunken);
    place(SET_SHOW, kRunLeft, kBottomTop + kLinePitch + 60, 11580 - kRunLeft, kRowHeight);
}

QGroupBox *Scan_Form::buildNameBox(const QString &prompt, const NameBoxPlace &at, QLineEdit *&text,
                                   QPushButton *&ok, QPushButton *&cancel)
{
    // The prompt over the full width, on its lines; under it the name and
    // the two buttons at the right.
    constexpr int kMargin = 120;
    constexpr int kLine = 270;
    constexpr int kButtonWidth = 900;
    constexpr int kGap = 60;
    const QRect &box = at.twips;
    auto *frame = new QGroupBox(u"Input Name"_s, this);
    frame->setAutoFillBackground(true);
    place(frame, box.x(), box.y(), box.width(), box.height());
    auto *label = new QLabel(prompt, frame);
    label->setWordWrap(at.promptLines > 1);
    place(label, kMargin, kLine, box.width() - 2 * kMargin, kLine * at.promptLines);
    const int row = kLine * (1 + at.promptLines) + kGap;
    const int cancelLeft = box.width() - kMargin - kButtonWidth;
    const int okLeft = cancelLeft - kGap - kButtonWidth;
    text = new QLineEdit(frame);
    place(text, kMargin, row, okLeft - kGap - kMargin, kRowHeight);
    ok = new QPushButton(u"OK"_s, frame);
    place(ok, okLeft, row - 15, kButtonWidth, 360);
    cancel = new QPushButton(u"Cancel"_s, frame);
    place(cancel, cancelLeft, row - 15, kButtonWidth, 360);
    frame->hide();
    return frame;
}

void Scan_Form::connectControls()
{
    ChannelTable &table = m_controls.table;
    for (int i = 0; i < kChannelCount; ++i) {
        const std::size_t at = std::size_t(i);
        connect(CHN_CHK[at], &QCheckBox::clicked, this, [&table, i](bool on) { table.setOn(i, on); });
        connect(S_Auto_CHK[at], &QCheckBox::clicked, this,
                [&table, i](bool on) { table.setAuto(i, on); });
        // activated: the user's choice, even of the entry already shown.
        connect(MODE_Comb[at], &QComboBox::activated, this,
                [&table, i](int position) { table.selectFunction(i, position); });
        connect(Combo2[at], &QComboBox::activated, this,
                [&table, i](int position) { table.selectRange(i, position); });
    }
    connect(On_All_Open_Butt, &QPushButton::clicked, &table, &ChannelTable::On_All_Open_Butt_Click);
    connect(On_All_Clear_Butt, &QPushButton::clicked, &table, &ChannelTable::On_All_Clear_Butt_Click);
    connect(Auto_All_Open_Butt, &QPushButton::clicked, &table, &ChannelTable::Auto_All_Open_Butt_Click);
    connect(Auto_All_Clear_Butt, &QPushButton::clicked, &table, &ChannelTable::Auto_All_Clear_Butt_Click);

    const std::pair<QLineEdit *, QString ScanControls::*> texts[] = {
        {Count_TEXT, &ScanControls::Count_TEXT},
        {Timer_TEXT, &ScanControls::Timer_TEXT},
        {SYS_DEL_TEXT, &ScanControls::SYS_DEL_TEXT},
        {Repeat_TEXT, &ScanControls::Repeat_TEXT},
        {INPU_NAME_TEXT, &ScanControls::INPU_NAME_TEXT},
        {SSBS_Input_Text, &ScanControls::SSBS_Input_Text},
    };
    for (const auto &entry : texts) {
        QString ScanControls::*const field = entry.second;
        connect(entry.first, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { m_controls.*field = text; });
    }
    SSBS_Input_Text->installEventFilter(this);

    for (int k = 0; k < 2; ++k) {
        connect(Cont_OPT[std::size_t(k)], &QRadioButton::clicked, this, [this, k] { m_controls.selectRunMode(k); });
    }
    connect(Check1, &QCheckBox::clicked, this, [this](bool checked) { m_controls.setCheck1(checked); });

    connect(Save_DATA_CHK, &QCheckBox::clicked, this, [this](bool checked) {
        m_controls.Save_DATA_CHK = checked;
        m_controls.touch();
        Save_DATA_CHK_Click(m_context);
        if (m_controls.INPU_NAME_Frame_front) {
            INPU_NAME_TEXT->setFocus();
            INPU_NAME_TEXT->selectAll();
        }
    });
    connect(INPU_NAME_OK, &QPushButton::clicked, this, [this] { INPU_NAME_OK_Click(m_context); });
    connect(NAME_BUTT_CANC, &QPushButton::clicked, this, [this] { NAME_BUTT_CANC_Click(m_context); });
    connect(SSBS_OK_BUTT, &QPushButton::clicked, this, [this] { SSBS_OK_BUTT_Click(m_context); });
    connect(SSBS_Cancel_Butt, &QPushButton::clicked, this, [this] { SSBS_Cancel_Butt_Click(m_context); });
    connect(INPU_NAME_TEXT, &QLineEdit::returnPressed, INPU_NAME_OK, &QPushButton::click);
    connect(SSBS_Input_Text, &QLineEdit::returnPressed, SSBS_OK_BUTT, &QPushButton::click);

    connect(Quit_BUTT, &QPushButton::clicked, this, [this] { shell::unloadForm(this); });
    connect(Scan_BUTT, &QPushButton::clicked, this, [this] { Scan_BUTT_Click(m_context); });
    connect(STEP_BUTT, &QPushButton::clicked, this, [this] { STEP_BUTT_Click(m_context); });
    connect(STOP_BUTT, &QPushButton::clicked, this, [this] { STOP_BUTT_Click(m_context); });
    connect(&m_controls, &ScanControls::statusChanged, this, &Scan_Form::showStatus);
}

void Scan_Form::showStatus()
{
    const ScanControls &c = m_controls;
    SET_SHOW->setText(c.SET_SHOW);
    setTextColour(SET_SHOW, c.SET_SHOW_color);
    SET_SHOW->setVisible(c.SET_SHOW_visible);
    if (c.SET_SHOW_visible)
        SET_SHOW->repaint();
}

void Scan_Form::refresh()
{
    const ChannelTable &table = m_controls.table;
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelRow &row = table.channel(i);
        const std::size_t at = std::size_t(i);
        showCheck(CHN_CHK[at], row.CHN_CHK);
        showList(MODE_Comb[at], row.MODE_Comb);
        showCheck(S_Auto_CHK[at], row.S_Auto_CHK);
        showList(Combo2[at], row.Combo2);
    }

    const ScanControls &c = m_controls;
    showText(Count_TEXT, c.Count_TEXT);
    showText(Timer_TEXT, c.Timer_TEXT);
    showText(SYS_DEL_TEXT, c.SYS_DEL_TEXT);
    showText(Repeat_TEXT, c.Repeat_TEXT);
    setTextColour(Repeat_LAB, c.Repeat_LAB_color);
    setTextColour(Cont_OPT[1], c.Cont_OPT1_color);
    for (int k = 0; k < 2; ++k) {
        const QSignalBlocker quiet(Cont_OPT[std::size_t(k)]);
        Cont_OPT[std::size_t(k)]->setChecked(c.Cont_OPT == k);
    }
    {
        const QSignalBlocker quiet(Check1);
        Check1->setChecked(c.Check1);
    }
    {
        const QSignalBlocker quiet(Save_DATA_CHK);
        Save_DATA_CHK->setChecked(c.Save_DATA_CHK);
    }
    showText(INPU_NAME_TEXT, c.INPU_NAME_TEXT);
    showText(SSBS_Input_Text, c.SSBS_Input_Text);
    INPU_NAME_Frame->move(rt::twipsPoint(c.INPU_NAME_Frame_at.x(), c.INPU_NAME_Frame_at.y()));
    INPU_NAME_Frame->setVisible(c.INPU_NAME_Frame_front);
    if (c.INPU_NAME_Frame_front)
        INPU_NAME_Frame->raise();
    SSBS_Frame->setVisible(c.SSBS_Frame_front);
    if (c.SSBS_Frame_front)
        SSBS_Frame->raise();
    // Every control's state follows from the run's.
    const ControlsEnabled enabled = controlsEnabled(c);
    Quit_BUTT->setEnabled(enabled.quit);
    Scan_BUTT->setEnabled(enabled.start);
    STEP_BUTT->setEnabled(enabled.start);
    STOP_BUTT->setEnabled(enabled.stop);
    tabs->setEnabled(enabled.tabs);
    for (QWidget *w : std::initializer_list<QWidget *>{On_All_Open_Butt, On_All_Clear_Butt, Auto_All_Open_Butt,
                                                       Auto_All_Clear_Butt, Cont_OPT[0], Cont_OPT[1], Check1})
        w->setEnabled(enabled.tableButtons);
    for (QLineEdit *box : {Count_TEXT, Timer_TEXT, SYS_DEL_TEXT})
        box->setEnabled(enabled.settings);
    Repeat_TEXT->setEnabled(enabled.repeat);
    Save_DATA_CHK->setEnabled(enabled.saveData);
    for (const char *entry : {"SSBS_SS", "SSBS_LS"})
        if (auto *action = window()->findChild<QAction *>(QLatin1StringView(entry)))
            action->setEnabled(enabled.setupFiles);
    if (m_shownTopRow != c.Scan_Grid_TopRow) {
        m_shownTopRow = c.Scan_Grid_TopRow;
        for (std::size_t g = 0; g < 2; ++g) {
            const QModelIndex top = m_controls.Scan_Grid[g].index(c.Scan_Grid_TopRow - 1, 0);
            if (top.isValid())
                Scan_Grid[g]->scrollTo(top, QAbstractItemView::PositionAtTop);
        }
    }
    showStatus();
}

void Scan_Form::SSBS_SS_Click()
{
    scan::SSBS_SS_Click(m_context);
    SSBS_Input_Text->setFocus();
    SSBS_Input_Text->selectAll();
}

void Scan_Form::File_Open_Ctrl()
{
    scan::File_Open_Ctrl(m_context);
}

void Scan_Form::hearDuringWaits(QObject *control)
{
    m_heard.append(control);
}

bool Scan_Form::heardDuringWaits(const QObject *target) const
{
    if (target == STOP_BUTT || target == Quit_BUTT || (target && target == parentWidget()))
        return true;
    for (const QPointer<QObject> &heard : m_heard)
        if (heard && heard == target)
            return true;
    return false;
}

void Scan_Form::closeEvent(QCloseEvent *event)
{
    // A run goes on: the window stays open, and one line says why.
    if (m_controls.runActive()) {
        m_context.panel.status.append(QString::fromUtf16(shell::kScanRefusal));
        event->ignore();
        return;
    }
    // Otherwise the close box does what Quit does (during the read-back it
    // ends it, and the window closes once it has given way).
    if (!Quit_BUTT_Click(m_context)) {
        event->ignore();
        return;
    }
    emit unloading();
    event->accept();
}

bool Scan_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        // Only typed characters are filtered; keys that type nothing
        // (arrows, Delete) and control keys (Ctrl+V) pass.
        if (typed.size() == 1 && typed.at(0).isPrint()) {
            const bool kept = watched == SSBS_Input_Text ? isSetupNameKey(typed.at(0)) : isDigitKey(typed.at(0));
            if (!kept)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace scan
