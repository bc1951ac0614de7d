#include "windows/loader_window.h"

#include "platform/twips.h"

namespace loader {

Form_LD::Form_LD(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form3"));
    resize(rt::twipsSize(11800, 7800));
}

} // namespace loader
