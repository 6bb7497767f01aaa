// Data sets for the tests that run the game and the data checker over many
// variants of the shipped data: each is the shipped data folder with one
// change made to a copy of it.  Files under tools/datacheck/datasets/ add
// their sets with a static dataSetList; the agreement test of the checker
// runs all.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct dataSet {
    std::string name; // letters, digits and '_' only (it names a test)
    // Changes the copy; `data` is the copy's data folder.  Files of the copy
    // are hard links to the shipped ones: replace a file with writeFile
    // (which writes a new file) rather than editing it in place.
    std::function<void(const std::string& data)> change;
};

class dataSetList {
  public:
    // Adds the sets to the list every test sees.
    explicit dataSetList(std::vector<dataSet> sets);
    static const std::vector<dataSet>& all();
};

// Tests show a data set by its name.
inline void PrintTo(const dataSet& set, std::ostream* out) {
    *out << set.name;
}

// Copies the shipped data folder to `data` (files as hard links) and makes
// the set's change.
void makeDataSet(const dataSet& set, const std::string& data);

} // namespace testing_support
