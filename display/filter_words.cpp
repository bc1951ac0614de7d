#include "display/filter_words.h"

#include <array>
#include <string_view>

namespace display {

namespace {

constexpr Word kMoving = {u"", u"M", u"O", u"V", u"", u""};
constexpr Word kRepeating = {u"", u"R", u"E", u"P", u"", u""};
constexpr std::array<std::u16string_view, kDisplay1Positions> kCount = {u"C", u"N", u"T", u"", u"", u"", u""};

// The count's digits on display 1 and the two points lit beside CNT.
constexpr int kFirstCountPosition = 4;
constexpr int kCountPoints[] = {2, 6};

} // namespace

const Word &filterTypeWord(bool moving)
{
    return moving ? kMoving : kRepeating;
}

void showFilterType(DisplayModel &model, bool moving)
{
    spell(model, filterTypeWord(moving));
}

void showFilterCountWord(DisplayModel &model)
{
    DisplayModel::Batch batch(model);
    const auto &w = kCount;
    DIS1_SHOW_RANGE(model, w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
    for (int point : kCountPoints)
        model.setLit(Points::DROP_IMG, point, true);
}

void showFilterCount(DisplayModel &model, QStringView digits)
{
    DisplayModel::Batch batch(model);
    for (int i = 0; i < 3; ++i) {
        model.draw(Positions::DIS1_IMG, kFirstCountPosition + i, digits.mid(i, 1));
    }
}

} // namespace display
