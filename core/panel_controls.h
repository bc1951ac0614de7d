#pragma once
// The front panel's controls other than the drawn displays: the lists, the
// check boxes, the record-name box and the legends above the keys. Kept as
// plain values that the procedures read and write; the window shows them.

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace shell {

struct ListControl
{
    QStringList items;
    QString text;
    bool enabled = true;
};

struct CheckControl
{
    bool checked = false;
    bool enabled = true;
};

// The legend above one key: its shifted function.
struct Legend
{
    QString caption;
    QColor color;
};

inline constexpr int kKeyCount = 16;

class PanelControls : public QObject
{
    Q_OBJECT
public:
    PanelControls();

    ListControl Speed_TIME;      // sample interval in ms
    ListControl CONT_TIME_LIST;  // test time in minutes, or "Continuous"
    CheckControl SAVE_CHK;       // "Save Data"
    CheckControl CHK_COM_TF;     // "Random Data"
    CheckControl Ran_CHK;        // hidden: demonstration readings chosen

    QString INPU_NAME_TEXT = QStringLiteral("DMM");  // record name
    bool INPU_NAME_Frame_front = false;               // the record-name box is in front

    QString START_TEXT = QStringLiteral("START");
    QColor START_TEXT_color = Qt::black;
    QString VER_LAB;  // firmware version shown on the panel

    std::array<Legend, kKeyCount> MODE_TEXT;

    // The picture each key shows now: its released face, or its pressed one
    // while the keys say so ("ACV_BUTT1.BMP", "ACV_BUTT2.BMP", ...).
    std::array<QString, kKeyCount> BUTT1_IMG;
    QString SHIFT_IMG;
    QString START_IMG;
    QString ON_IMG;
    QString OFF_IMG;
    bool MATH_LAB_enabled = true;  // serves the keys as a flag

    // After a procedure has changed some of the fields above: one changed()
    // for all of them, heard by every view.
    void touch() { emit changed(); }

signals:
    void changed();
};

// The colours of the legends as designed; the identification turns the two
// scanner legends blue when the instrument has its scanner fitted, and the
// keys test exactly that blue.
inline const QColor kLegendBlue = QColor(0, 0, 255);
inline const QColor kLegendGrey = QColor(128, 128, 128);
inline const QColor kLegendLightGrey = QColor(192, 192, 192);

} // namespace shell
