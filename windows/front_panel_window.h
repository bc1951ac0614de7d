#pragma once
// The front panel window: paints the drawn instrument from the panel's model
// and turns clicks on its key pictures into calls. It keeps no state of its
// own: what is lit, which picture a key shows and what the lists hold all
// live in the Panel.

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
struct Panel;

namespace display {
class PictureStore;
}

namespace shell {

class SHOW_Form : public QWidget
{
    Q_OBJECT
public:
    SHOW_Form(Panel &panel, display::PictureStore &pictures, QWidget *parent = nullptr);
    ~SHOW_Form() override;

    // Whether a point of the panel lies on one of its keys (SHIFT and START
    // too).
    bool isKeyAt(QPoint pixel) const;

    // Where things are, in twips, for the window's layout and its tests.
    static QRect keyRect(int key);  // 0..15
    static QRect shiftKeyRect();
    static QRect startKeyRect();

    // The record-name box.
    QGroupBox *INPU_NAME_Frame = nullptr;
    QLineEdit *INPU_NAME_TEXT = nullptr;
    QPushButton *INPU_NAME_OK = nullptr;
    QPushButton *NAME_BUTT_CANC = nullptr;
    QPushButton *Clear_DATA_BUTT = nullptr;  // "Clear Data": empties the readings table
    QComboBox *Speed_TIME = nullptr;
    QComboBox *CONT_TIME_LIST = nullptr;
    QCheckBox *SAVE_CHK = nullptr;
    QCheckBox *CHK_COM_TF = nullptr;

    // Shows the controls' values again (the model's changed hook calls it).
    void refreshControls();

Q_SIGNALS:
    // `at`: the event's own time, in the window system's milliseconds.
    void BUTT1_IMG_MouseDown(int key, qint64 at);
    void BUTT1_IMG_MouseUp(int key, qint64 at);
    void SHIFT_IMG_MouseDown();
    void SHIFT_IMG_MouseUp();
    void START_IMG_MouseDown();
    void START_IMG_MouseUp();
    void Speed_TIME_Click();
    void CONT_TIME_LIST_Click();
    void SAVE_CHK_Click();
    void CHK_COM_TF_Click();
    void Clear_DATA_BUTT_Click();
    void closing();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Hit { None, Key, Shift, Start };
    Hit hitTest(QPoint pixel, int *key) const;
    void paintBody(QPainter &painter);
    void paintDisplays(QPainter &painter);
    void paintLamps(QPainter &painter);
    void paintKeys(QPainter &painter);
    void paintPicture(QPainter &painter, const QString &file, QPoint topLeftTwips);

    Panel &m_panel;
    display::PictureStore &m_pictures;
    Hit m_pressed = Hit::None;
    int m_pressedKey = -1;
    bool m_refreshing = false;
};

} // namespace shell
