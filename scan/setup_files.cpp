#include "scan/setup_files.h"

#include "scan/scan_form.h"
#include "platform/dialogs.h"
#include "runs/recorder.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

QString positionsText(int count)
{
    return count == 1 ? u"0"_s : u"0 to %1"_s.arg(count - 1);
}

} // namespace

formats::ScanSetup currentSetup(const ScanControls &c)
{
    formats::ScanSetup setup;
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelRow &row = c.table.channel(i);
        setup.channels[std::size_t(i)] = {row.CHN_CHK.checked, row.S_Auto_CHK.checked,
                                          qint16(row.MODE_Comb.index), qint16(row.Combo2.index)};
    }
    setup.settings = {c.Count_TEXT, c.Timer_TEXT, c.SYS_DEL_TEXT, c.Repeat_TEXT};
    return setup;
}

QString setupProblem(const formats::ScanSetup &setup)
{
    for (int i = 0; i < kChannelCount; ++i) {
        const formats::ScanChannelSetup &line = setup.channels[std::size_t(i)];
        const QStringList functions = functionItems(i);
        if (line.function >= functions.size())
            return u"Line %1: function %2; channel %3 has functions %4, or -1 for none."_s
                .arg(i + 1)
                .arg(line.function)
                .arg(kFirstChannel + i)
                .arg(positionsText(int(functions.size())));
        const QStringList ranges = rangeItems(i, line.function);
        if (line.range >= ranges.size()) {
            if (ranges.isEmpty())
                return u"Line %1: range %2 without a function; it is -1."_s.arg(i + 1).arg(line.range);
            return u"Line %1: range %2; \"%3\" on channel %4 has ranges %5, or -1 for none."_s
                .arg(i + 1)
                .arg(line.range)
                .arg(functions.at(line.function))
                .arg(kFirstChannel + i)
                .arg(positionsText(int(ranges.size())));
        }
    }
    return {};
}

void applySetup(ScanControls &c, const formats::ScanSetup &setup)
{
    for (int i = 0; i < kChannelCount; ++i) {
        const formats::ScanChannelSetup &line = setup.channels[std::size_t(i)];
        c.table.setOn(i, line.on);
        c.table.setAuto(i, line.autoRange);
        c.table.selectFunction(i, line.function);
        c.table.selectRange(i, line.range);
    }
    c.Count_TEXT = setup.settings[0];
    c.Timer_TEXT = setup.settings[1];
    c.SYS_DEL_TEXT = setup.settings[2];
    c.Repeat_TEXT = setup.settings[3];
    c.touch();
}

void SSBS_OK_BUTT_Click(ScanContext &s)
{
    ScanControls &c = s.controls;
    // A running scan's table is not saved half-way nor changed under it.
    if (c.run.holdsLine())
        return;
    c.SSBS_Frame_front = false;
    c.touch();
    QDir().mkpath(formats::scanDataFolder());

    // The name becomes a file name in "SCAN DATA": the key filter keeps
    // typing to letters, digits and "_", but pasted text passes it.
    const QString name = c.SSBS_Input_Text;
    if (!runs::isUsableRecordName(name))
        return rt::messageBox(u"The input name is error."_s, u"Input error"_s, rt::MessageIcon::Critical);

    const QString path = formats::scanSetupPath(name);
    if (QFileInfo::exists(path)
        && !s.ask({u"File exists,rewrite existed ini file?"_s, u"File exists"_s, rt::MessageIcon::Exclamation}))
        return;
    // The old set-up is replaced only once the new one is whole on disk.
    QString why;
    if (!formats::writeScanSetup(path, currentSetup(c), &why))
        return rt::messageBox(u"Scan box settings were not saved: %1"_s.arg(why), u"Save error"_s,
                              rt::MessageIcon::Critical);
    rt::messageBox(u"Scan box settings saved successfully."_s, u"Save Ok"_s, rt::MessageIcon::Information);
}

void File_Open_Ctrl(ScanContext &s)
{
    if (s.controls.run.holdsLine())
        return;
    const QString path = rt::openFileName(u"Load ScanBox Status"_s, formats::scanDataFolder(), u"Ini (*.ini)"_s);
    if (path.isEmpty())
        return;
    const auto refuse = [&](const QString &why) {
        rt::messageBox(u"%1 was not loaded; the table is unchanged.\n%2"_s.arg(QFileInfo(path).fileName(), why),
                       u"Load error"_s, rt::MessageIcon::Critical);
    };
    QString why;
    const std::optional<formats::ScanSetup> setup = formats::readScanSetup(path, &why);
    if (!setup)
        return refuse(why);
    if (const QString problem = setupProblem(*setup); !problem.isEmpty())
        return refuse(problem);
    applySetup(s.controls, *setup);
    rt::messageBox(u"Scan box settings loaded successfully."_s, u"Load Ok"_s, rt::MessageIcon::Information);
}

} // namespace scan
