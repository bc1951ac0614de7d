#include "windows/front_panel_window.h"
#include "windows/list_items.h"

#include "core/panel.h"
#include "core/panel_colours.h"
#include "windows/picture_store.h"
#include "platform/twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

using display::Lamp;
using display::Points;
using display::Positions;
using rt::twipsPoint;
using rt::twipsRect;

namespace shell {
namespace {

// The instrument's colours: a dark grey front, the display window behind
// dark glass, and the display's own cyan-green for everything lit on it.
const QColor kBody = display::kPanelFront;
const QColor kBodyEdge(32, 35, 39);
const QColor kGlass = display::kDisplayFace;
const QColor kBezel(20, 23, 26);
const QColor kLit = display::kDisplayLit;
const QColor kPrint(214, 218, 222);
const QColor kPrintDim(150, 156, 162);

// Layout in twips. The panel's window is 11800 x 5000 with its frame and
// title; what it draws fits the 11640 x 4500 inside.
constexpr int kPanelWidth = 11640;
constexpr int kPanelHeight = 4500;
constexpr int kDigitWidth = 510;
constexpr int kDigitHeight = 975;
constexpr int kPitch = 600;
constexpr int kPointSize = 135;
constexpr int kDigitTop = 860;
constexpr int kDisplay1Left = 700;
constexpr int kDisplay2Left = 6450;
constexpr QRect kGlassRect(300, 470, 11100, 1880);
constexpr int kSharedRowTop = 2060;
constexpr int kKeyWidth = 735;
constexpr int kKeyHeight = 375;
constexpr int kKeyLefts[8] = {1800, 3000, 4200, 5400, 6600, 7920, 9120, 10320};
constexpr int kKeyFrameTop = 2220;
constexpr int kKeyRowTops[2] = {kKeyFrameTop + 480, kKeyFrameTop + 1320};
constexpr int kSideKeyLeft = 600;
constexpr int kListsTop = 4080;

struct LampPlace
{
    Lamp lamp;
    int left, top;
};

// Mode words above each display, prefixes and units to its right. Every
// lamp has its own place, lit or not, so nothing moves when one goes dark.
constexpr LampPlace kLampPlaces[] = {
    {Lamp::AC_LAB1, 700, 560},    {Lamp::DC_LAB1, 1050, 560},   {Lamp::W2_LAB1, 1400, 560},
    {Lamp::W4_LAB1, 1750, 560},   {Lamp::AUTO_LAB1, 2200, 560},
    {Lamp::T_u_LAB1, 4950, 860},  {Lamp::T_min_LAB1, 5250, 860}, {Lamp::T_K_LAB1, 5550, 860},
    {Lamp::T_M_LAB1, 5850, 860},
    {Lamp::T_V_LAB1, 4950, 1180}, {Lamp::T_A_LAB1, 5250, 1180}, {Lamp::T_R_LAB1, 5550, 1180},
    {Lamp::T_Hz_LAB1, 5850, 1180},
    {Lamp::T_S_LAB1, 4950, 1500}, {Lamp::T_C_LAB1, 5250, 1500}, {Lamp::T_F_LAB1, 5550, 1500},
    {Lamp::T_W_LAB1, 5850, 1500},
    {Lamp::T_dB_LAB, 4950, 1740}, {Lamp::T_dBm_LAB1, 5190, 1740},
    {Lamp::AC_LAB2, 6450, 560},   {Lamp::DC_LAB2, 6800, 560},   {Lamp::W2_LAB2, 7150, 560},
    {Lamp::W4_LAB2, 7500, 560},   {Lamp::AUTO_LAB2, 7950, 560},
    {Lamp::T_u_LAB2, 10100, 860}, {Lamp::T_min_LAB2, 10400, 860}, {Lamp::T_K_LAB2, 10700, 860},
    {Lamp::T_M_LAB2, 11000, 860},
    {Lamp::T_V_LAB2, 10100, 1180}, {Lamp::T_A_LAB2, 10400, 1180}, {Lamp::T_R_LAB2, 10700, 1180},
    {Lamp::T_Hz_LAB2, 11000, 1180},
    {Lamp::T_S_LAB2, 10100, 1500}, {Lamp::T_C_LAB2, 10400, 1500}, {Lamp::T_F_LAB2, 10700, 1500},
    {Lamp::T_W_LAB2, 11000, 1500},
    {Lamp::T_dBm_LAB2, 10100, 1740},
};

// The annunciators shared by both displays, in one row under them.
constexpr Lamp kSharedRow[] = {
    Lamp::HOLD_LAB, Lamp::REL_LAB,   Lamp::MIN_LAB,   Lamp::MAX_LAB,   Lamp::MATH_LAB,
    Lamp::COMP_LAB, Lamp::ND2_LAB,   Lamp::T_PS_LAB,  Lamp::STO_LAB,   Lamp::RCL_LAB,
    Lamp::LIMIT_LAB, Lamp::ERR_LAB,  Lamp::SHIFT_LAB, Lamp::SWEEP_LAB, Lamp::CC_LAB,
    Lamp::CV_LAB,   Lamp::OUT_LAB,   Lamp::REAR_LAB,  Lamp::EXT_LAB,   Lamp::START_LAB,
    Lamp::RMT_LAB,  Lamp::FILT_LAB,  Lamp::S_LAB,     Lamp::M_LAB,     Lamp::F_LAB,
};
constexpr int kSharedRowLeft = 520;
constexpr int kSharedRowRight = 11200;

QFont lampFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QFont printFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QColor legendInk(const QColor &designed)
{
    // The legends are designed for a light front; on this dark one the same
    // hues are drawn lighter so they stay readable. The colour kept in the
    // panel's controls is the designed one.
    if (designed == kLegendBlue)
        return QColor(110, 165, 255);
    if (designed == kLegendLightGrey)
        return QColor(200, 204, 208);
    if (designed == kLegendGrey)
        return QColor(128, 134, 140);
    return designed == QColor(Qt::black) ? kPrint : designed;
}

QPoint pointPlace(Points row, int index)
{
    const int left = row == Points::DROP_IMG ? kDisplay1Left : kDisplay2Left;
    const int footTop = kDigitTop + kDigitHeight - kPointSize;
    const int midTop = kDigitTop + (kDigitHeight - kPointSize) / 2;
    const int gapCentre = kDigitWidth + (kPitch - kDigitWidth) / 2 - kPointSize / 2;
    // The filter dot of display 1 sits mid-height between positions 2 and 3;
    // the sixth dot of display 2 mid-height between positions 0 and 1.
    if (row == Points::DROP_IMG && index == 6)
        return {left + 2 * kPitch + gapCentre, midTop};
    if (row == Points::DROP_IMG2 && index == 5)
        return {left + gapCentre, midTop};
    return {left + index * kPitch + gapCentre, footTop};
}

} // namespace

QRect SHOW_Form::keyRect(int key)
{
    return {kKeyLefts[key % 8], kKeyRowTops[key / 8], kKeyWidth, kKeyHeight};
}

QRect SHOW_Form::shiftKeyRect() { return {kSideKeyLeft, kKeyRowTops[0], kKeyWidth, kKeyHeight}; }
QRect SHOW_Form::startKeyRect() { return {kSideKeyLeft, kKeyRowTops[1], kKeyWidth, kKeyHeight}; }

SHOW_Form::SHOW_Form(Panel &panel, display::PictureStore &pictures, QWidget *parent)
    : QWidget(parent), m_panel(panel), m_pictures(pictures)
{
    setWindowTitle(QStringLiteral("RAVELO"));
    setFixedSize(rt::twipsSize(kPanelWidth, kPanelHeight));
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto label = [this](const QString &text, int left, int top) {
        auto *l = new QLabel(text, this);
        l->setFont(printFont(11));
        l->setStyleSheet(QStringLiteral("color: rgb(214,218,222);"));
        l->move(twipsPoint(left, top));
        l->adjustSize();
        return l;
    };
    label(QStringLiteral("Interval (ms)"), 1800, kListsTop + 60);
    Speed_TIME = new QComboBox(this);
    Speed_TIME->setGeometry(twipsRect(2880, kListsTop, 1250, 330));
    label(QStringLiteral("Test time (min)"), 4300, kListsTop + 60);
    CONT_TIME_LIST = new QComboBox(this);
    CONT_TIME_LIST->setGeometry(twipsRect(5640, kListsTop, 1500, 330));
    SAVE_CHK = new QCheckBox(QStringLiteral("Save Data"), this);
    SAVE_CHK->setToolTip(QStringLiteral("Save TXT file"));
    SAVE_CHK->setGeometry(twipsRect(7260, kListsTop + 20, 1380, 300));
    CHK_COM_TF = new QCheckBox(QStringLiteral("Random Data"), this);
    CHK_COM_TF->setToolTip(QStringLiteral("Not the line has been tested"));
    CHK_COM_TF->setGeometry(twipsRect(8700, kListsTop + 20, 1560, 300));
    Clear_DATA_BUTT = new QPushButton(QStringLiteral("Clear Data"), this);
    Clear_DATA_BUTT->setFont(printFont(11));
    Clear_DATA_BUTT->setGeometry(twipsRect(10320, kListsTop, 1230, 330));
    for (QCheckBox *box : {SAVE_CHK, CHK_COM_TF}) {
        box->setFont(printFont(11));
        box->setStyleSheet(QStringLiteral("QCheckBox { color: rgb(214,218,222); }"));
    }

    INPU_NAME_Frame = new QGroupBox(QStringLiteral("Input Name"), this);
    INPU_NAME_Frame->setGeometry(twipsRect(2400, 2600, 4200, 1500));
    INPU_NAME_Frame->setAutoFillBackground(true);
    auto *prompt = new QLabel(QStringLiteral("Please key in the save data name"), INPU_NAME_Frame);
    prompt->setGeometry(twipsRect(150, 300, 3900, 300));
    INPU_NAME_TEXT = new QLineEdit(INPU_NAME_Frame);
    INPU_NAME_TEXT->setGeometry(twipsRect(150, 650, 3900, 330));
    INPU_NAME_OK = new QPushButton(QStringLiteral("OK"), INPU_NAME_Frame);
    INPU_NAME_OK->setGeometry(twipsRect(1200, 1050, 1200, 360));
    NAME_BUTT_CANC = new QPushButton(QStringLiteral("Cancel"), INPU_NAME_Frame);
    NAME_BUTT_CANC->setGeometry(twipsRect(2550, 1050, 1200, 360));

    connect(Speed_TIME, &QComboBox::activated, this, [this] {
        m_panel.controls.Speed_TIME.text = Speed_TIME->currentText();
        Q_EMIT Speed_TIME_Click();
    });
    connect(CONT_TIME_LIST, &QComboBox::activated, this, [this] {
        m_panel.controls.CONT_TIME_LIST.text = CONT_TIME_LIST->currentText();
        Q_EMIT CONT_TIME_LIST_Click();
    });
    connect(SAVE_CHK, &QCheckBox::toggled, this, [this](bool on) {
        if (m_refreshing)
            return;
        m_panel.controls.SAVE_CHK.checked = on;
        Q_EMIT SAVE_CHK_Click();
    });
    connect(CHK_COM_TF, &QCheckBox::toggled, this, [this](bool on) {
        if (m_refreshing)
            return;
        m_panel.controls.CHK_COM_TF.checked = on;
        Q_EMIT CHK_COM_TF_Click();
    });
    connect(INPU_NAME_TEXT, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_panel.controls.INPU_NAME_TEXT = text; });
    connect(Clear_DATA_BUTT, &QPushButton::clicked, this, &SHOW_Form::Clear_DATA_BUTT_Click);
    // Enter in the name box is its OK.
    connect(INPU_NAME_TEXT, &QLineEdit::returnPressed, INPU_NAME_OK, &QPushButton::click);

    connect(&m_panel.display, &display::DisplayModel::changed, this, qOverload<>(&QWidget::update));
    connect(&m_panel.controls, &PanelControls::changed, this, &SHOW_Form::refreshControls);
    refreshControls();
}

SHOW_Form::~SHOW_Form() = default;

void SHOW_Form::refreshControls()
{
    m_refreshing = true;
    const PanelControls &c = m_panel.controls;
    auto showList = [](QComboBox *box, const ListControl &list) {
        const QSignalBlocker block(box);
        windows::showItems(box, list.items);
        // The list shows its text even when the text is not one of its items.
        const int index = list.items.indexOf(list.text);
        box->setCurrentIndex(index);
        if (index < 0) {
            box->setEditable(true);
            box->setEditText(list.text);
            box->lineEdit()->setReadOnly(true);
        } else {
            box->setEditable(false);
        }
        box->setEnabled(list.enabled);
    };
    showList(Speed_TIME, c.Speed_TIME);
    showList(CONT_TIME_LIST, c.CONT_TIME_LIST);
    SAVE_CHK->setChecked(c.SAVE_CHK.checked);
    SAVE_CHK->setEnabled(c.SAVE_CHK.enabled);
    CHK_COM_TF->setChecked(c.CHK_COM_TF.checked);
    CHK_COM_TF->setEnabled(c.CHK_COM_TF.enabled);
    if (INPU_NAME_TEXT->text() != c.INPU_NAME_TEXT)
        INPU_NAME_TEXT->setText(c.INPU_NAME_TEXT);
    INPU_NAME_Frame->setVisible(c.INPU_NAME_Frame_front);
    if (c.INPU_NAME_Frame_front)
        INPU_NAME_Frame->raise();
    m_refreshing = false;
    update();
}

void SHOW_Form::paintPicture(QPainter &painter, const QString &file, QPoint topLeftTwips)
{
    if (file.isEmpty())
        return;
    painter.drawImage(rt::twipsPoint(topLeftTwips.x(), topLeftTwips.y()), m_pictures.picture(file));
}

void SHOW_Form::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBody(painter);
    paintDisplays(painter);
    paintLamps(painter);
    paintKeys(painter);
}

void SHOW_Form::paintBody(QPainter &painter)
{
    painter.fillRect(rect(), kBody);
    painter.setPen(kBodyEdge);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    paintPicture(painter, QStringLiteral("LOGO.BMP"), {300, 60});
    painter.setFont(printFont(12));
    painter.setPen(kPrint);
    if (m_panel.state.BRAND_CODE == QStringLiteral("VX"))
        painter.drawText(twipsRect(2400, 90, 4515, 315), Qt::AlignCenter,
                         QStringLiteral("Dual Measurement Multimeter"));
    painter.setFont(printFont(11));
    painter.setPen(kPrintDim);
    painter.drawText(twipsRect(8200, 60, 3200, 375), Qt::AlignRight | Qt::AlignVCenter,
                     m_panel.controls.VER_LAB);

    const QRect glass = twipsRect(kGlassRect.x(), kGlassRect.y(), kGlassRect.width(),
                                  kGlassRect.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBezel);
    painter.drawRoundedRect(glass.adjusted(-4, -4, 4, 4), 6, 6);
    painter.setBrush(kGlass);
    painter.drawRoundedRect(glass, 3, 3);

    paintPicture(painter, QStringLiteral("LINE1.BMP"), {1100, 2420});
    paintPicture(painter, QStringLiteral("LINE1.BMP"), {1100, 3990});
    paintPicture(painter, QStringLiteral("LINE2.BMP"), {1560, 2800});
    paintPicture(painter, QStringLiteral("LINE2.BMP"), {7665, 2800});
    paintPicture(painter, m_panel.controls.ON_IMG, {150, kListsTop});
    paintPicture(painter, m_panel.controls.OFF_IMG, {150 + 630, kListsTop});
}

void SHOW_Form::paintDisplays(QPainter &painter)
{
    const display::DisplayModel &model = m_panel.display;
    struct Row { Positions positions; Points points; int left; };
    const Row rows[] = {{Positions::DIS1_IMG, Points::DROP_IMG, kDisplay1Left},
                        {Positions::DIS2_IMG, Points::DROP_IMG2, kDisplay2Left}};
    for (const Row &row : rows) {
        for (int i = 0; i < display::DisplayModel::count(row.positions); ++i) {
            const display::Position &position = model.position(row.positions, i);
            if (position.lit && !position.glyph.isEmpty())
                paintPicture(painter, display::PictureStore::glyphFile(position.glyph),
                             {row.left + i * kPitch, kDigitTop});
        }
        for (int i = 0; i < display::DisplayModel::count(row.points); ++i) {
            if (model.isLit(row.points, i))
                paintPicture(painter, QStringLiteral("DROP.BMP"), pointPlace(row.points, i));
        }
    }
    if (model.isLit(display::Symbol::DIODE_IMG))
        paintPicture(painter, QStringLiteral("DIODE.BMP"), {3500, 520});
    if (model.isLit(display::Symbol::CONTINU_IMG))
        paintPicture(painter, QStringLiteral("CONTINU.BMP"), {4000, 520});
}

void SHOW_Form::paintLamps(QPainter &painter)
{
    const display::DisplayModel &model = m_panel.display;
    painter.setFont(lampFont());
    painter.setPen(kLit);
    const QFontMetrics metrics(painter.font());
    for (const LampPlace &place : kLampPlaces) {
        if (model.isLit(place.lamp))
            painter.drawText(twipsPoint(place.left, place.top) + QPoint(0, metrics.ascent()),
                             model.caption(place.lamp));
    }
    // The shared row is spread evenly by the captions' widths, all of them,
    // lit or not, so a lamp never moves.
    int total = 0;
    for (Lamp lamp : kSharedRow)
        total += metrics.horizontalAdvance(model.caption(lamp));
    const int left = rt::twipsToPixels(kSharedRowLeft);
    const int span = rt::twipsToPixels(kSharedRowRight) - left;
    const int count = int(std::size(kSharedRow));
    const double gap = double(span - total) / (count - 1);
    double x = left;
    const int baseline = rt::twipsToPixels(kSharedRowTop) + metrics.ascent();
    for (Lamp lamp : kSharedRow) {
        const QString caption = model.caption(lamp);
        if (model.isLit(lamp))
            painter.drawText(QPointF(x, baseline), caption);
        x += metrics.horizontalAdvance(caption) + gap;
    }
}

void SHOW_Form::paintKeys(QPainter &painter)
{
    const PanelControls &c = m_panel.controls;
    painter.setFont(printFont(10, true));
    auto legend = [&](const QRect &keyTwips, const QString &text, const QColor &color) {
        const QRect key = twipsRect(keyTwips.x(), keyTwips.y(), keyTwips.width(), keyTwips.height());
        painter.setPen(legendInk(color));
        painter.drawText(QRect(key.left() - 10, key.top() - 16, key.width() + 20, 14),
                         Qt::AlignHCenter | Qt::AlignBottom, text);
    };
    for (int key = 0; key < kKeyCount; ++key) {
        const QRect r = keyRect(key);
        paintPicture(painter, c.BUTT1_IMG[std::size_t(key)], r.topLeft());
        legend(r, c.MODE_TEXT[std::size_t(key)].caption, c.MODE_TEXT[std::size_t(key)].color);
    }
    paintPicture(painter, c.SHIFT_IMG, shiftKeyRect().topLeft());
    paintPicture(painter, c.START_IMG, startKeyRect().topLeft());
    legend(startKeyRect(), c.START_TEXT, c.START_TEXT_color);
}

SHOW_Form::Hit SHOW_Form::hitTest(QPoint pixel, int *key) const
{
    const QPoint twips(rt::pixelsToTwips(pixel.x()), rt::pixelsToTwips(pixel.y()));
    for (int k = 0; k < kKeyCount; ++k) {
        if (keyRect(k).contains(twips)) {
            *key = k;
            return Hit::Key;
        }
    }
    if (shiftKeyRect().contains(twips))
        return Hit::Shift;
    if (startKeyRect().contains(twips))
        return Hit::Start;
    return Hit::None;
}

bool SHOW_Form::isKeyAt(QPoint pixel) const
{
    int key = -1;
    return hitTest(pixel, &key) != Hit::None;
}

void SHOW_Form::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int key = -1;
    m_pressed = hitTest(event->position().toPoint(), &key);
    m_pressedKey = key;
    switch (m_pressed) {
    case Hit::Key: Q_EMIT BUTT1_IMG_MouseDown(key, qint64(event->timestamp())); break;
    case Hit::Shift: Q_EMIT SHIFT_IMG_MouseDown(); break;
    case Hit::Start: Q_EMIT START_IMG_MouseDown(); break;
    case Hit::None: break;
    }
}

void SHOW_Form::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The key that went down comes up, wherever the pointer is now.
    switch (m_pressed) {
    case Hit::Key: Q_EMIT BUTT1_IMG_MouseUp(m_pressedKey, qint64(event->timestamp())); break;
    case Hit::Start: Q_EMIT START_IMG_MouseUp(); break;
    case Hit::Shift: Q_EMIT SHIFT_IMG_MouseUp(); break;
    case Hit::None: break;
    }
    m_pressed = Hit::None;
    m_pressedKey = -1;
}

void SHOW_Form::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing();
    event->accept();
}

} // namespace shell
