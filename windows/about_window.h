#pragma once
// The About box: "RAVELO", its version, what it is, and a close button.
// The main window shows the box of the panel's brand: About_VX_Info for
// "VX" (the brand the program runs as), About_QD_Info otherwise; both say
// the same, the object name tells them apart.

#include <QWidget>

class QLabel;
class QPushButton;

namespace shell {

class AboutBox : public QWidget
{
    Q_OBJECT
public:
    explicit AboutBox(const QString &brandCode, QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;  // "RAVELO" and the version
    QLabel *Label1 = nullptr;  // the one-line description
    QPushButton *Close_BUTT = nullptr;

    static QString versionText();

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace shell
