#include "dataSets.h"

#include "testSupport.h"

#include <filesystem>

namespace testing_support {

namespace {

std::vector<dataSet>& registry() {
    static std::vector<dataSet> sets;
    return sets;
}

} // namespace

dataSetList::dataSetList(std::vector<dataSet> sets) {
    for (dataSet& set : sets)
        registry().push_back(std::move(set));
}

const std::vector<dataSet>& dataSetList::all() {
    return registry();
}

void makeDataSet(const dataSet& set, const std::string& data) {
    namespace fs = std::filesystem;
    fs::copy(sourceDir() + "/data", data,
             fs::copy_options::recursive | fs::copy_options::create_hard_links);
    if (set.change) set.change(data);
}

} // namespace testing_support
