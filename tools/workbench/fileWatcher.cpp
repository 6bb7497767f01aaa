#include "fileWatcher.h"

#include <filesystem>

namespace fs = std::filesystem;

fileWatcher::fileWatcher(const std::string& root) : root_(root), known_(scan()) {}

std::map<std::string, fileWatcher::stamp> fileWatcher::scan() const {
    std::map<std::string, stamp> found;
    std::error_code failed;
    fs::recursive_directory_iterator walk(root_, fs::directory_options::skip_permission_denied,
                                          failed);
    // A folder that vanishes or cannot be read mid-walk ends the walk; what
    // was seen so far counts, and the next poll tries again.
    for (; !failed && walk != fs::recursive_directory_iterator(); walk.increment(failed)) {
        std::error_code ignored;
        // Only plain files are stamped: a pipe or device under the data
        // folder is never opened here.
        if (!walk->is_regular_file(ignored)) continue;
        stamp s;
        const auto written = walk->last_write_time(ignored);
        if (ignored) continue;
        s.modified =
            std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch())
                .count();
        s.size = walk->file_size(ignored);
        if (ignored) s.size = 0;
        found[walk->path().string()] = s;
    }
    return found;
}

std::vector<std::string> fileWatcher::poll() {
    std::map<std::string, stamp> now = scan();
    std::vector<std::string> changed;
    auto before = known_.begin();
    auto after = now.begin();
    // Both maps are in path order: one merge walk finds every difference.
    while (before != known_.end() || after != now.end()) {
        if (after == now.end() || (before != known_.end() && before->first < after->first)) {
            changed.push_back(before->first);
            ++before;
        } else if (before == known_.end() || after->first < before->first) {
            changed.push_back(after->first);
            ++after;
        } else {
            if (!(before->second == after->second)) changed.push_back(after->first);
            ++before;
            ++after;
        }
    }
    known_ = std::move(now);
    return changed;
}
