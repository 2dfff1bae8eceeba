#include "frames/FrameChoice.h"

#include <QStringList>

#include <algorithm>

namespace skarvel {

namespace {

// A frame number as written: digits only, no sign, no spaces, and within what a count can be.
std::optional<std::size_t> number(const QString& text)
{
    if (text.isEmpty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return std::nullopt;
    return std::size_t(text.toULongLong());
}

} // namespace

std::optional<FrameChoice> FrameChoice::parse(const QString& list)
{
    FrameChoice choice;
    choice.m_ranges.clear();
    if (list.isEmpty())
        return std::nullopt;
    const QString last = QStringLiteral("last");
    for (const QString& item : list.split(u',')) {
        if (item == last) {
            choice.m_last = true;
            continue;
        }
        const qsizetype dash = item.indexOf(u'-');
        const std::optional<std::size_t> first = number(dash < 0 ? item : item.left(dash));
        if (!first)
            return std::nullopt;
        if (dash < 0) {
            choice.m_ranges.emplace_back(*first, *first);
            continue;
        }
        const QString end = item.mid(dash + 1);
        if (end.isEmpty() || end == last) {
            choice.m_ranges.emplace_back(*first, kOpen);
            continue;
        }
        const std::optional<std::size_t> second = number(end);
        if (!second || *second < *first)
            return std::nullopt;
        choice.m_ranges.emplace_back(*first, *second);
    }
    return choice;
}

bool FrameChoice::knownChosen(std::size_t index) const
{
    return std::any_of(m_ranges.begin(), m_ranges.end(),
                       [&](const auto& range) { return range.first <= index && index <= range.second; });
}

bool FrameChoice::chosen(std::size_t index, std::size_t count) const
{
    return index < count && (knownChosen(index) || (m_last && index + 1 == count));
}

std::size_t FrameChoice::chosenCount(std::size_t count) const
{
    std::size_t chosenFrames = 0;
    for (std::size_t i = 0; i < count; ++i)
        chosenFrames += chosen(i, count) ? 1 : 0;
    return chosenFrames;
}

std::optional<std::size_t> FrameChoice::missing(std::size_t count) const
{
    for (const auto& [first, second] : m_ranges) {
        if (first >= count)
            return first;
        if (second != kOpen && second >= count)
            return second;
    }
    return std::nullopt;
}

} // namespace skarvel
