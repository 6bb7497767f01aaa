#include "particle/particleListFile.h"

#include "base/textFile.h"
#include "base/writtenText.h"

#include <cctype>

std::vector<std::string> particleListFile::definitionWords(const std::string& definitionLine) {
    return text::splitWords(definitionLine, 3);
}

bool particleListFile::open(const std::string& folder, const std::string& listName) {
    folder_ = folder;
    header_ = countHeader();
    entries_.clear();
    if (!lines_.open(folder + listName)) return false;
    header_.read(lines_, "PARTS:", "the game loads no particles");
    return true;
}

const std::vector<listedParticle>& particleListFile::readEntries() {
    std::string line;
    for (int i = 0; i < announced() && lines_.readLine(line); ++i) {
        listedParticle entry;
        entry.name = text::firstWord(line);
        entry.text = line;
        entry.line = lines_.line();
        // The game's folder "data/particle/" holds no blank, so a stand-in
        // without blanks splits the glued line as the game's does, whatever
        // folder this list is in.
        const std::vector<std::string> words = definitionWords("@" + line);
        entry.folder = folder_ + words[0].substr(1);
        if (words.size() > 1) entry.number = text::leadingInt(words[1]);
        entries_.push_back(entry);

        const std::vector<std::string> written = text::splitWords(line, 4);
        if (written.empty()) {
            lines_.error(entry.line, "expected a particle definition name, found an empty line");
            continue;
        }
        if (entry.folder != folder_ + entry.name)
            lines_.error(entry.line, "the line starts with a blank: the game loads definition \"" +
                                         entry.name + "\" from " + entry.folder +
                                         " itself, not from " + folder_ + entry.name);
        else if (written.size() > 1 && !text::isPlainNumber(written[1]))
            lines_.warning(entry.line, "list number \"" + written[1] +
                                           "\" is not a number; the game reads " +
                                           std::to_string(entry.number));
        if (written.size() > 3) lines_.warning(entry.line, "words after the third are ignored");
    }
    if (header_.wasRead() && static_cast<int>(entries_.size()) < announced())
        header_.reportHeld(lines_, entries_.size(), "definitions");
    return entries_;
}

void particleListFile::finish() {
    if (!header_.wasRead()) return;
    lines_.warnTextAfter("the " + std::to_string(announced()) + " definitions");
}

std::string particleListFile::write(const std::vector<listedParticle>& entries) {
    std::string text = "PARTS: " + std::to_string(entries.size()) + "\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        writtenText::refuse("definition", i + 1, unreadable(entries[i]));
        text += entries[i].name + " " + std::to_string(entries[i].number) + "\n";
    }
    return text;
}

std::string particleListFile::unreadable(const listedParticle& entry) {
    const std::string problem = writtenText::word("name", entry.name);
    if (!problem.empty()) return problem;
    return writtenText::line("the line of \"" + entry.name + "\"",
                             entry.name + " " + std::to_string(entry.number));
}
