#include "windows/about_window.h"

#include "platform/twips.h"
#include "windows/form_place.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

using rt::twipsRect;

namespace shell {
namespace {

constexpr QRect kLogo(240, 240, 1200, 1200);  // twips

} // namespace

QString AboutBox::versionText()
{
    return QStringLiteral("Version %1").arg(QStringLiteral(RAVELO_VERSION));
}

AboutBox::AboutBox(const QString &brandCode, QWidget *parent) : QWidget(parent)
{
    setObjectName(brandCode == QStringLiteral("VX") ? QStringLiteral("About_VX_Info")
                                                    : QStringLiteral("About_QD_Info"));
    setWindowTitle(QStringLiteral("About RAVELO"));
    setFixedSize(rt::twipsSize(5400, 2280));

    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::RichText);
    Label2->setText(QStringLiteral("<span style='font-size:16pt; font-weight:bold'>RAVELO</span><br>%1")
                        .arg(versionText()));
    Label2->setGeometry(twipsRect(1680, 240, 3480, 720));

    Label1 = new QLabel(QStringLiteral("Remote front panel and data logger for a dual-display "
                                       "bench multimeter."),
                        this);
    Label1->setWordWrap(true);
    Label1->setGeometry(twipsRect(1680, 1020, 3480, 540));

    Close_BUTT = new QPushButton(QStringLiteral("OK"), this);
    Close_BUTT->setGeometry(twipsRect(3840, 1680, 1320, 420));
    Close_BUTT->setDefault(true);
    connect(Close_BUTT, &QPushButton::clicked, this, [this] { unloadForm(this); });
}

void AboutBox::paintEvent(QPaintEvent *)
{
    // The logo: a small meter face, its display lit in the panel's
    // cyan-green, two rows of keys below.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect face = twipsRect(kLogo.x(), kLogo.y(), kLogo.width(), kLogo.height());
    painter.setPen(QColor(32, 35, 39));
    painter.setBrush(QColor(50, 54, 59));
    painter.drawRoundedRect(face, 8, 8);

    const QRect glass(face.left() + 8, face.top() + 10, face.width() - 16, face.height() / 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(8, 14, 16));
    painter.drawRoundedRect(glass, 3, 3);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(glass.height() - 8);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(96, 255, 214));
    painter.drawText(glass, Qt::AlignCenter, QStringLiteral("8.88"));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 156, 162));
    const int keyWidth = (face.width() - 16 - 3 * 6) / 4;
    const int keyHeight = 8;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int left = face.left() + 8 + column * (keyWidth + 6);
            const int top = glass.bottom() + 16 + row * (keyHeight + 10);
            painter.drawRoundedRect(QRect(left, top, keyWidth, keyHeight), 2, 2);
        }
    }
}

} // namespace shell
