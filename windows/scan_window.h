#pragma once
// The scanner window: the channel table, the scan settings and run mode,
// the two result grids and the name boxes. A thin view over ScanControls:
// it shows the controls' values and forwards what the user does to the
// scanner's procedures, which run the table's rules.

#include "scan/scan_controls.h"
#include "scan/scan_form.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

struct Panel;

namespace scan {

class Scan_Form : public QWidget
{
    Q_OBJECT
public:
    // The window with its controls; load() opens it.
    explicit Scan_Form(Panel &panel, QWidget *parent = nullptr);

    // The opening, once the window is shown: the scanner's state is read
    // back through the panel's channel, its progress in view. False when
    // Quit ended the read-back and the window has closed.
    bool load();
    ~Scan_Form() override;

    ScanControls &controls() { return m_controls; }
    ScanContext &context() { return m_context; }

    // The main window's "Save ScanBox Status(&S)": the set-up name box comes
    // forward with its whole text selected.
    void SSBS_SS_Click();
    // The main window's "Load ScanBox Status(&L)".
    void File_Open_Ctrl();
    // While the window holds the line its waits take the input of its Stop
    // and Quit, of its frame, and of the controls named here (the program's
    // Quit); every other press is refused with one status line.
    void hearDuringWaits(QObject *control);

    // The window's size and place as designed, in twips.
    static constexpr int kWidth = 11800;
    static constexpr int kHeight = 7800;

    std::array<QCheckBox *, kChannelCount> CHN_CHK{};
    std::array<QComboBox *, kChannelCount> MODE_Comb{};
    std::array<QCheckBox *, kChannelCount> S_Auto_CHK{};
    std::array<QComboBox *, kChannelCount> Combo2{};

    QLineEdit *Count_TEXT = nullptr;
    QLineEdit *Timer_TEXT = nullptr;
    QLineEdit *SYS_DEL_TEXT = nullptr;
    QLineEdit *Repeat_TEXT = nullptr;
    QLabel *Repeat_LAB = nullptr;
    std::array<QRadioButton *, 2> Cont_OPT{};
    QCheckBox *Check1 = nullptr;
    QCheckBox *Save_DATA_CHK = nullptr;

    QPushButton *On_All_Open_Butt = nullptr;
    QPushButton *On_All_Clear_Butt = nullptr;
    QPushButton *Auto_All_Open_Butt = nullptr;
    QPushButton *Auto_All_Clear_Butt = nullptr;
    QPushButton *Scan_BUTT = nullptr;
    QPushButton *STEP_BUTT = nullptr;
    QPushButton *STOP_BUTT = nullptr;
    QPushButton *Quit_BUTT = nullptr;
    QLabel *SET_SHOW = nullptr;

    std::array<QTableView *, 2> Scan_Grid{};

    QGroupBox *INPU_NAME_Frame = nullptr;
    QLineEdit *INPU_NAME_TEXT = nullptr;
    QPushButton *INPU_NAME_OK = nullptr;
    QPushButton *NAME_BUTT_CANC = nullptr;

    QGroupBox *SSBS_Frame = nullptr;
    QLineEdit *SSBS_Input_Text = nullptr;
    QPushButton *SSBS_OK_BUTT = nullptr;
    QPushButton *SSBS_Cancel_Butt = nullptr;

    QTabWidget *tabs = nullptr;  // the channel table, the result grids

    // A name box: its place in twips, and the lines its prompt takes.
    struct NameBoxPlace
    {
        QRect twips;
        int promptLines;
    };

signals:
    // The window is closing (Quit, or the close box while Quit is enabled).
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTable(QWidget *page);
    void buildGrids(QWidget *page);
    void buildSettings();
    QGroupBox *buildNameBox(const QString &prompt, const NameBoxPlace &at, QLineEdit *&text, QPushButton *&ok,
                            QPushButton *&cancel);
    void connectControls();
    void refresh();
    void showStatus();

    bool heardDuringWaits(const QObject *target) const;

    ScanControls m_controls;
    ScanContext m_context;
    QList<QPointer<QObject>> m_heard;
    int m_shownTopRow = 1;
};

} // namespace scan
