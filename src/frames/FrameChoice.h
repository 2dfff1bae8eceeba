#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace skarvel {

// The frames an export writes, as a person names them: 0-based numbers and ranges separated by
// commas ("0", "3-7", "10-" to the last frame, "last" for the last frame whatever the count,
// "5-last" as "5-"). The default chooses every frame.
class FrameChoice {
public:
    // Every frame.
    FrameChoice() = default;
    // Answers nothing when `list` cannot be read or is empty.
    static std::optional<FrameChoice> parse(const QString& list);

    // Whether frame `index` is chosen, known while the count is not: the last frame, when chosen
    // only as "last", is not.
    bool knownChosen(std::size_t index) const;
    // Whether frame `index` of `count` is chosen.
    bool chosen(std::size_t index, std::size_t count) const;
    // How many frames of `count` are chosen.
    std::size_t chosenCount(std::size_t count) const;
    // A frame named that `count` frames do not have, if any: the first such, in the order given.
    std::optional<std::size_t> missing(std::size_t count) const;

private:
    static constexpr std::size_t kOpen = std::size_t(-1);
    std::vector<std::pair<std::size_t, std::size_t>> m_ranges{{0, kOpen}}; // first and last, both in
    bool m_last = false;
};

} // namespace skarvel
