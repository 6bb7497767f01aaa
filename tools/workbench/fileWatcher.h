// Notices changes under a folder by polling: every regular file's
// modification time and size, compared with the previous poll.  No
// notification service and no extra library; a poll walks the folder once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class fileWatcher {
  public:
    explicit fileWatcher(const std::string& root);

    // Files added, removed or changed since the last poll (or since the
    // watcher was made), in path order.  Paths start with the root as given.
    std::vector<std::string> poll();

  private:
    struct stamp {
        int64_t modified = 0; // nanoseconds, the file system's clock
        uintmax_t size = 0;
        bool operator==(const stamp& other) const {
            return modified == other.modified && size == other.size;
        }
    };
    std::map<std::string, stamp> scan() const;

    std::string root_;
    std::map<std::string, stamp> known_;
};
