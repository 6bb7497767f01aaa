#include "dataReport.h"

#include "dataChecker.h"
#include "diagnostics.h"
#include "stopGuard.h"

#include "base/seams.h"

#include <exception>
#include <set>

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

dataReport dataReport::check(const std::string& dataFolder) {
    diagnostics found;
    std::string stopped;
    // The checker quiets the game's loaders while it runs them and then
    // hands their trace back to standard output; whoever listened before
    // gets it back here.
    std::ostream& trace = seams::trace();
    std::ostream& errors = seams::errors();
    try {
        stopGuard guard;
        dataChecker checker(found);
        checker.run(dataFolder);
    } catch (const loadStopped& stop) {
        stopped = stop.message;
    } catch (const std::exception& failure) {
        // Whatever else goes wrong in the checker, the workbench goes on.
        stopped = std::string("the checker gave up: ") + failure.what();
    }
    seams::setTraceStream(&trace);
    seams::setErrorStream(&errors);

    dataReport report;
    for (const diagnostic& d : found.sorted())
        report.findings.push_back({d.file, d.level == severity::error, diagnostics::format(d)});
    report.errors = found.errors();
    report.warnings = found.warnings();
    report.notes = found.notes();
    if (!stopped.empty()) {
        while (!stopped.empty() && (stopped.back() == '\n' || stopped.back() == '\r'))
            stopped.pop_back();
        report.findings.push_back({dataFolder, true, dataFolder + ": error: " + stopped});
        report.errors += 1;
    }
    report.summary =
        std::to_string(report.errors) + (report.errors == 1 ? " error, " : " errors, ") +
        std::to_string(report.warnings) + (report.warnings == 1 ? " warning, " : " warnings, ") +
        std::to_string(report.notes) + (report.notes == 1 ? " note" : " notes");
    return report;
}

std::vector<const dataReport::finding*>
dataReport::errorsAbout(const std::vector<std::string>& changed,
                        const std::string& dataFolder) const {
    // The folders of the changed paths and every folder above them, up to
    // the data folder itself.
    std::set<std::string> touched;
    for (const std::string& path : changed)
        for (std::string folder = folderOf(path); !folder.empty(); folder = folderOf(folder)) {
            touched.insert(folder);
            if (folder == dataFolder) break;
        }
    std::vector<const finding*> about;
    for (const finding& f : findings)
        if (f.error && (touched.count(folderOf(f.file)) || f.file == dataFolder))
            about.push_back(&f);
    return about;
}

bool dataReport::has(const std::string& text) const {
    for (const finding& f : findings)
        if (f.text == text) return true;
    return false;
}

void dataReport::print(std::ostream& out) const {
    for (const finding& f : findings)
        out << f.text << '\n';
    out << summary << '\n';
}
