#include "game/versusRecording.h"

#include <sstream>

namespace versusRecording {

namespace {

struct namedControl {
    std::uint16_t bit;
    const char* name;
};
// In the canonical order of passControls::fromInput.
constexpr namedControl names[] = {
    {playerInput::quit, "quit"}, {playerInput::up, "up"},       {playerInput::down, "down"},
    {playerInput::left, "left"}, {playerInput::right, "right"}, {playerInput::buttonA, "A"},
    {playerInput::buttonB, "B"}, {playerInput::buttonC, "C"},   {playerInput::boxes, "boxes"},
};

} // namespace

std::string controlNames(std::uint16_t controls) {
    std::string text;
    for (const namedControl& c : names) {
        if (!(controls & c.bit)) continue;
        if (!text.empty()) text += '+';
        text += c.name;
    }
    return text.empty() ? "-" : text;
}

bool controlsFromNames(const std::string& text, std::uint16_t& controls) {
    controls = 0;
    if (text == "-") return true;
    std::istringstream parts(text);
    std::string part;
    int count = 0;
    while (std::getline(parts, part, '+')) {
        ++count;
        bool known = false;
        for (const namedControl& c : names)
            if (part == c.name) {
                controls |= c.bit;
                known = true;
            }
        if (!known) return false;
    }
    // "", "A+" and "+A" name an empty control.
    return count > 0 && text.back() != '+';
}

bool needsLine(const versusLoop::frameInputs& before, const versusLoop::frameInputs& inputs) {
    for (int p = 0; p < 2; ++p)
        if (inputs[p].pressed != 0 || inputs[p].held != before[p].held) return true;
    return false;
}

std::string frameLine(std::uint32_t frame, const versusLoop::frameInputs& inputs) {
    return "frame " + std::to_string(frame) + " " + controlNames(inputs[0].held) + " " +
           controlNames(inputs[0].pressed) + " " + controlNames(inputs[1].held) + " " +
           controlNames(inputs[1].pressed) + "\n";
}

std::string opening(std::uint32_t seed) {
    return "# A versus match recorded by the versus program; play it back with\n"
           "# build/tools/replay/replay FILE.  Each frame line: frame, player 1's\n"
           "# held and pressed controls, player 2's held and pressed.\n"
           "versus\nseed " +
           std::to_string(seed) + "\n";
}

std::string closing(std::uint32_t frames, const std::map<std::string, std::string>& finalState) {
    std::string text = "end " + std::to_string(frames) + "\n# The live match ended so:\n";
    for (const auto& [name, value] : finalState)
        text += "expect " + name + " = " + value + "\n";
    return text;
}

} // namespace versusRecording
