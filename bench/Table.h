#pragma once

#include "Measure.h"

#include <string>
#include <vector>

namespace skarvel::bench {

// A row of the table: one of Skarvel's operations against a reference tool's.
struct Row {
    std::string gif;
    std::string what;
    Measure ours;
    std::string reference;
    Measure theirs;
    double timeGoal;   // ours / theirs at most, 0 for none
    double memoryGoal; // MiB, 0 for none
    Measure floor{};   // creating the same files plainly, for exports
};

// Prints the rows as one Markdown table with a note on how it was measured. A goal is met only
// by an operation that succeeded: a file refused at once is no fast open.
void printRows(const std::vector<Row>& rows, double harnessMiB);

} // namespace skarvel::bench
