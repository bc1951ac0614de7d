#pragma once
// The two drawn displays of the front panel, without any widget: which glyph
// each character position holds and whether it is lit, which decimal points,
// symbols and annunciators are lit, and the annunciators' captions. The panel
// widgets paint this model and nothing else; tests read it directly.
//
// Display 1 has seven character positions DIS1_IMG(0..6), display 2 six,
// DIS2_IMG(0..5), index 0 leftmost. Point k of DROP_IMG(0..5) / DROP_IMG2(0..4)
// sits at the foot of the gap after position k, so d decimals light point
// 6 - d on display 1 and 5 - d on display 2. Two extra dots sit at mid-height:
// DROP_IMG(6) between positions 2 and 3 (only the filter set-up lights it)
// and DROP_IMG2(5) between positions 0 and 1 (math set-up, statistics).
// A display lights at most one decimal point: lighting one puts out the
// others of that display (the mid-height dots are apart); only the lamp
// test lights them all.
//
// A dark position keeps its glyph: lighting it again without loading shows
// the old glyph, which the digit blink relies on. Glyph names are kept as
// given ("add" stays "add"); the picture lookup ignores letter case.

#include <QObject>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace display {

enum class Positions { DIS1_IMG, DIS2_IMG };
enum class Points { DROP_IMG, DROP_IMG2 };
enum class Symbol { DIODE_IMG, CONTINU_IMG };

// Every annunciator label of the panel, named as the panel names it.
enum class Lamp {
    // Display 1: mode labels, then unit and prefix labels.
    AC_LAB1, DC_LAB1, W2_LAB1, W4_LAB1, AUTO_LAB1,
    T_V_LAB1, T_A_LAB1, T_R_LAB1, T_Hz_LAB1, T_S_LAB1, T_C_LAB1, T_F_LAB1, T_W_LAB1, T_dBm_LAB1,
    T_u_LAB1, T_min_LAB1, T_K_LAB1, T_M_LAB1,
    // Display 2, the same eighteen.
    AC_LAB2, DC_LAB2, W2_LAB2, W4_LAB2, AUTO_LAB2,
    T_V_LAB2, T_A_LAB2, T_R_LAB2, T_Hz_LAB2, T_S_LAB2, T_C_LAB2, T_F_LAB2, T_W_LAB2, T_dBm_LAB2,
    T_u_LAB2, T_min_LAB2, T_K_LAB2, T_M_LAB2,
    // Shared by both displays; S_LAB, M_LAB, F_LAB are the reading-rate lamps.
    HOLD_LAB, REL_LAB, MIN_LAB, MAX_LAB, MATH_LAB, COMP_LAB, ND2_LAB, T_dB_LAB, T_PS_LAB,
    STO_LAB, RCL_LAB, LIMIT_LAB, ERR_LAB, SHIFT_LAB, SWEEP_LAB, CC_LAB, CV_LAB, OUT_LAB,
    REAR_LAB, EXT_LAB, START_LAB, RMT_LAB, FILT_LAB, S_LAB, M_LAB, F_LAB,
};
inline constexpr int kLampCount = int(Lamp::F_LAB) + 1;  // F_LAB stays last

inline constexpr int kDisplay1Positions = 7;
inline constexpr int kDisplay2Positions = 6;
inline constexpr int kDisplay1Points = 7;  // DROP_IMG(0..5) and the filter dot DROP_IMG(6)
inline constexpr int kDisplay2Points = 6;  // DROP_IMG2(0..4) and the mid-height dot DROP_IMG2(5)

// The label's name as the panel knows it ("T_dBm_LAB2"), for logs and tests.
QStringView lampName(Lamp lamp);

// The caption the panel is designed with. The degree sign and the ohm sign
// are the Unicode characters; display 1's dBm label reads "m" because it sits
// after the shared "dB" label.
QString designedCaption(Lamp lamp);

struct Position
{
    QString glyph;  // the glyph last loaded; kept while dark
    bool lit = false;
};

class DisplayModel : public QObject
{
    Q_OBJECT
public:
    // The panel as it opens: every position holds the all-segments glyph
    // "STA" and is lit, and every point, symbol and label is lit, except the
    // filter dot DROP_IMG(6), which starts dark. The power-on lamp test
    // starts from here.
    DisplayModel();

    // Goes up by one with every change that alters what the panel shows.
    quint64 revision() const { return m_revision; }

    // Holds back changed() until the outermost Batch ends; one call then if
    // anything changed in between.
    class Batch
    {
    public:
        explicit Batch(DisplayModel &model);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        DisplayModel &m_model;
    };

    static int count(Positions row);
    static int count(Points row);

    // Out-of-range indices read as a dark, empty position and change nothing.
    const Position &position(Positions row, int index) const;
    QString glyph(Positions row, int index) const { return position(row, index).glyph; }
    bool isLit(Positions row, int index) const { return position(row, index).lit; }
    bool isLit(Points row, int index) const;
    bool isLit(Symbol symbol) const;
    bool isLit(Lamp lamp) const;
    // The lowest lit point of 0 to `last`; none when all of them are dark.
    std::optional<int> firstLitPoint(Points row, int last) const;

    // The drawing step of every word: the empty name darkens the position and
    // keeps its glyph; any other name (" " too) is loaded and lit.
    void draw(Positions row, int index, QStringView glyph);
    // Loads a glyph without changing whether the position is lit.
    void setGlyph(Positions row, int index, QStringView glyph);
    void setLit(Positions row, int index, bool lit);
    void setLit(Points row, int index, bool lit);
    void setLit(Symbol symbol, bool lit);
    void setLit(Lamp lamp, bool lit);

    // The lamp test: every character position, decimal point, symbol and
    // label of both displays at once. The filter dot DROP_IMG(6) is not part
    // of the test and keeps its state. Glyphs are kept.
    void setAllLit(bool lit);

    // Shows what another model shows: every glyph, position, point, symbol
    // and lamp (the captions stay). A reading can then be drawn on a copy
    // while the panel's own display belongs to a set-up menu.
    void showSame(const DisplayModel &other);

    // The captions start as designed; start-up may adapt the temperature
    // captions to the user's language once.
    QString caption(Lamp lamp) const { return m_captions[std::size_t(lamp)]; }
    void setCaption(Lamp lamp, const QString &caption);

signals:
    // After every change, once per Batch. Any number of views repaint from it.
    void changed();

protected:
    // Counts the listeners of changed(): with none (the headless panel of a
    // test or benchmark) a change costs no signal.
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    const Position *positionAt(Positions row, int index) const;
    Position *positionAt(Positions row, int index);
    const bool *pointAt(Points row, int index) const;
    bool *pointAt(Points row, int index);
    void setFlag(bool &flag, bool lit);
    void touch();

    std::array<Position, kDisplay1Positions> m_dis1;
    std::array<Position, kDisplay2Positions> m_dis2;
    std::array<bool, kDisplay1Points> m_drop{};
    std::array<bool, kDisplay2Points> m_drop2{};
    std::array<bool, 2> m_symbols{};
    std::array<bool, kLampCount> m_lamps{};
    std::array<QString, kLampCount> m_captions;
    quint64 m_revision = 0;
    bool m_listening = false;
    int m_batchDepth = 0;
    bool m_pending = false;
};

} // namespace display
