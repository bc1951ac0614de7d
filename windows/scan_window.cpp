#include "windows/scan_window.h"

#include "platform/twips.h"

namespace scan {

Scan_Form::Scan_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Scan"));
    resize(rt::twipsSize(11800, 7800));
}

} // namespace scan
