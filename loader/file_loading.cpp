#include "loader/file_loading.h"

#include "formats/recorded_data.h"
#include "formats/recorded_data_reader.h"
#include "loader/loader_state.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace loader {

namespace {

constexpr int kBackspace = 8;

// The range boxes offer the first and the last point of the rows loaded;
// the step is the difference of the first two points (1 for a single
// record, 0 for none).
void setRangeBoxes(Loader &ld)
{
    const LoadGridModel &grid = ld.LOAD_Grid;
    const int records = grid.records();
    ld.START_TEXT = grid.cell(1, LoadGridModel::Point);
    ld.END_TEXT = grid.cell(records, LoadGridModel::Point);
    if (records >= 2) {
        const double step = rt::leadingNumber(grid.cell(2, LoadGridModel::Point))
                            - rt::leadingNumber(ld.START_TEXT);
        ld.LD_POINT_STEP = rt::roundToWhole(step).value_or(0);
    } else {
        ld.LD_POINT_STEP = records;
    }
    Q_EMIT ld.rangeBoxesChanged();
}

void loadFailed(Loader &ld, const QString &text)
{
    ld.setLoading(false);
    rt::messageBox(text, u"load error"_s, rt::MessageIcon::Critical);
}

} // namespace

void OPEN_FILE_BUTT_Click(Loader &ld)
{
    loadRecordedFile(ld, rt::openFileName({}, formats::recordFolder(), kOpenFilter.toString()));
}

void loadRecordedFile(Loader &ld, const QString &path)
{
    ld.setLoading(true);
    if (path.isEmpty())
        return loadFailed(ld, u"No open file"_s);  // the table stays as it was

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return loadFailed(ld, u"Cannot open "_s + QDir::toNativeSeparators(path) + u"\n"_s
                                  + file.errorString());
    // From here on the table is the new file's: the old one goes first, so
    // that a large file never sits beside the one before it.
    ld.LOAD_Grid.Clear_L_GRID();
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setRangeBoxes(ld);
        return loadFailed(ld, u"Cannot read "_s + QDir::toNativeSeparators(path) + u"\n"_s
                                  + file.errorString());
    }
    file.close();

    formats::RecordedData data = formats::RecordedData::fromBytes(std::move(bytes));
    const formats::ReadEnd end = data.end();
    const qint64 endLine = data.endLine();
    if (end != formats::ReadEnd::HeaderRejected)
        ld.LOAD_Grid.showRecords(std::move(data));
    setRangeBoxes(ld);
    ld.setLoading(false);

    if (end == formats::ReadEnd::HeaderRejected)
        rt::messageBox(u"LOAD ERROR~"_s, u"ERROR"_s, rt::MessageIcon::Critical);
    else if (end == formats::ReadEnd::BadRecord)
        rt::messageBox(u"Load stopped at line "_s + QString::number(endLine), u"load error"_s,
                       rt::MessageIcon::Exclamation);
    else if (ld.LOAD_Grid.records() == 0)
        rt::messageBox(u"No records in file"_s, u"load error"_s, rt::MessageIcon::Critical);
}

void rangeBoxKeyPress(int &KeyAscii)
{
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!(digit || KeyAscii == ':' || KeyAscii == kBackspace))
        KeyAscii = 0;
}

} // namespace loader
