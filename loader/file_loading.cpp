#include "loader/file_loading.h"

#include "formats/recorded_data.h"
#include "formats/recorded_data_reader.h"
#include "loader/load_plots.h"
#include "loader/loader_state.h"
#include "loader/sliced_work.h"
#include "platform/dialogs.h"
#include "platform/plain_file.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFile>

#include <utility>

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

// Why a read stopped before the end of the file, under "Load stopped at
// line L".
struct StopReason
{
    formats::ReadEnd end;
    const char16_t *text;
};
constexpr StopReason kStopReasons[] = {
    {formats::ReadEnd::BadRecord, u"The line is no record of seven fields."},
    {formats::ReadEnd::CutRecord, u"The file ends inside this line: without its line end it is no whole record."},
    {formats::ReadEnd::NotText, u"The line holds bytes that are not text."},
    {formats::ReadEnd::LongLine, u"The line is longer than any record."},
    {formats::ReadEnd::Cancelled, u"The load was cancelled."},
    {formats::ReadEnd::ReadFailed, u"The file cannot be read on: "},
    {formats::ReadEnd::OutOfMemory, u"There is no memory for more rows."},
};

QString stopMessage(const formats::RecordedData &data)
{
    QString text = u"Load stopped at line "_s + QString::number(data.endLine());
    for (const StopReason &reason : kStopReasons)
        if (reason.end == data.end())
            text += u"\n"_s + QString::fromUtf16(reason.text);
    if (data.end() == formats::ReadEnd::ReadFailed)
        text += data.error();
    return text;
}

// The file a slice at a time, the window painting in between.
formats::RecordedData readInSlices(Loader &ld, QFile &file)
{
    SlicedWork slices(ld, &Loader::loadProgress, ld.loadCancelled);
    formats::RecordedDataReader reader(file);
    const double size = double(file.size());
    // The graphs show the file before until this one's header has passed:
    // a refused file leaves them. Then they go, so that a large plot never
    // sits beside the file that replaces it.
    bool graphsReset = false;
    const auto resetGraphsOnce = [&] {
        if (!std::exchange(graphsReset, true))
            RESET_LOAD_GRAPHS(ld);
    };
    while (reader.readSome(ld.loadSlice)) {
        if (reader.linesRead() > formats::kHeaderLineCount)
            resetGraphsOnce();
        if (slices.sliceDone(size > 0 ? double(reader.bytesRead()) / size : 0))
            reader.cancel();
    }
    formats::RecordedData data = reader.take();
    if (data.end() != formats::ReadEnd::HeaderRejected)
        resetGraphsOnce();
    return data;
}

} // namespace

void OPEN_FILE_BUTT_Click(Loader &ld)
{
    const QString path = rt::openFileName({}, formats::recordFolder(), kOpenFilter.toString());
    // Refused while a run holds the line: its status line said so, and the
    // table stays as it was without a second word.
    if (path.isEmpty() && rt::lineHeld())
        return;
    loadRecordedFile(ld, path);
}

void loadRecordedFile(Loader &ld, const QString &path)
{
    ld.setLoading(true);
    if (path.isEmpty())
        return loadFailed(ld, u"No open file"_s);  // the table stays as it was

    QFile file(path);
    if (QString refused; !rt::openPlainFile(file, refused))
        return loadFailed(ld, u"Cannot open "_s + QDir::toNativeSeparators(path) + u"\n"_s + refused);
    // From here on the table is the new file's: the old one goes first, so
    // that a large file never sits beside the one before it. A refused
    // file leaves the table empty and the range boxes as they were.
    ld.LOAD_Grid.Clear_L_GRID();

    formats::RecordedData data = readInSlices(ld, file);
    file.close();
    const formats::ReadEnd end = data.end();
    const QString stopped = end == formats::ReadEnd::Complete ? QString() : stopMessage(data);
    if (end != formats::ReadEnd::HeaderRejected) {
        ld.LOAD_Grid.showRecords(std::move(data));
        setRangeBoxes(ld);
    }
    ld.setLoading(false);

    if (end == formats::ReadEnd::HeaderRejected)
        rt::messageBox(u"LOAD ERROR~"_s, u"ERROR"_s, rt::MessageIcon::Critical);
    else if (end != formats::ReadEnd::Complete)
        rt::messageBox(stopped, u"load error"_s, rt::MessageIcon::Exclamation);
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
