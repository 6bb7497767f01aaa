#include "workbench.h"

#include "base/bitmapFont.h"
#include "cornerRule.h"
#include "dataReport.h"
#include "moveTable.h"
#include "overlayPainter.h"
#include "stopGuard.h"

#include "base/seams.h"
#include "base/textFile.h"
#include "particle/SquareCollider.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace {

constexpr Uint32 panelColour = 0x14141C;
constexpr Uint32 textColour = 0xE6E6E6;
constexpr Uint32 problemColour = 0xFF7050;
constexpr Uint32 emptyStage = 0x303038;
constexpr int panelLines = 6;
constexpr int margin = 4;
constexpr int stageWidth = 800;
constexpr int largestDistance = 790;

const char* const keyHelp = "Up/Down next  Tab anims/moves  Left/Right step  Space play  "
                            "F facing  O opponent  -+[] distance  B boxes  S shot  R reload  "
                            "Esc quit";

std::string point(int x, int y) {
    return std::to_string(x) + "," + std::to_string(y);
}

std::string box(int x1, int y1, int x2, int y2) {
    return point(x1, y1) + " - " + point(x2, y2);
}

// A spawn line as the game splits it: definition name, x and y offsets.
struct spawnPoint {
    std::string name;
    int dx = 0;
    int dy = 0;
};

spawnPoint readSpawn(const std::string& line) {
    std::vector<std::string> words = splitWords(line, 3);
    spawnPoint spawn;
    if (!words.empty()) spawn.name = words[0];
    if (words.size() > 1) spawn.dx = leadingInt(words[1]);
    if (words.size() > 2) spawn.dy = leadingInt(words[2]);
    return spawn;
}

// A file name made of the letters of an animation or move name.
std::string fileSafe(const std::string& name) {
    std::string out;
    for (char c : name)
        out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
    return out.empty() ? "unnamed" : out;
}

} // namespace

workbench::workbench(const std::string& dataFolder, SDL_Surface* screen, std::ostream& terminal)
    : dataFolder_(dataFolder), screen_(screen), terminal_(terminal), watcher_(dataFolder) {
    while (dataFolder_.size() > 1 && dataFolder_.back() == '/')
        dataFolder_.pop_back();
    for (Fighter* f : {&shown_, &opponent_}) {
        f->screenSurf = screen_;
        f->speed = fighterSpeed;
        f->yPos = g_GroundLevel;
        f->onGround = true;
    }
    shown_.facingRight = true;
}

void workbench::start(const std::string& name) {
    // Changes count from here.
    watcher_ = fileWatcher(dataFolder_);
    lastPoll_ = seams::ticks();
    terminal_ << "workbench: " << dataFolder_ << "/" << characterSnapshot::character << "\n";
    dataReport report = dataReport::check(dataFolder_);
    report.print(terminal_);
    errors_ = report.errors;
    shownReport_ = report;
    try {
        stopGuard guard;
        swapIn(characterSnapshot::load(dataFolder_));
    } catch (const loadStopped& stop) {
        say("cannot load the character: " + stop.message, true);
        return;
    } catch (const std::exception& failure) {
        say(std::string("cannot load the character: ") + failure.what(), true);
        return;
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == name) {
            show(static_cast<int>(i), 0);
            return;
        }
    if (!name.empty()) say("no animation or move named \"" + name + "\"", true);
}

void workbench::swapIn(std::unique_ptr<characterSnapshot> fresh) {
    // Keep the shown animation or move and its frame when they still exist.
    const std::string name = entryName();
    const bool wasMove = entryIsMove();
    const int oldFrame = shown_.frame;
    const int oldIndex = index_;

    std::unique_ptr<characterSnapshot> old = std::move(snapshot_);
    snapshot_ = std::move(fresh);
    entries_.clear();
    for (animation& anim : snapshot_->anims.animList)
        entries_.push_back({false, anim.animName, &anim.frameSet, nullptr});
    for (moveInfo& move : snapshot_->moves.moves)
        entries_.push_back({true, move.name, &move.frameSet, &move});

    int index = std::min(oldIndex, entryCount() - 1);
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].isMove == wasMove && entries_[i].name == name) {
            index = static_cast<int>(i);
            break;
        }
    animation* standing = snapshot_->anims.returnAnimation("standing");
    opponent_.base = standing ? &standing->frameSet : nullptr;
    opponent_.frame = 0;
    opponent_.animating = 1;
    opponent_.actionName = "standing";
    show(index, old ? oldFrame : 0);
    // The old frame sets go only now that nothing points into them.
    old.reset();
}

void workbench::show(int index, int frameIndex) {
    if (entries_.empty()) return;
    index_ = std::clamp(index, 0, entryCount() - 1);
    const entry& e = entries_[index_];
    shown_.base = e.frames;
    shown_.actionName = e.name;
    shown_.curMove = nullptr;
    const int count = frameCount();
    shown_.frame = count > 0 ? std::clamp(frameIndex, 0, count - 1) : 0;
    shown_.lastTick = static_cast<int>(seams::ticks());
    shown_.animating = playing_ ? 1 : 0;
    placeFighters();
}

void workbench::moveOpponent(int by) {
    distance_ = std::clamp(distance_ + by, 0, largestDistance);
    placeFighters();
}

void workbench::placeFighters() {
    // The two anchors stand `distance` apart around the middle of the
    // stage, facing each other.
    const bool right = shown_.facingRight;
    const int centre = stageWidth / 2;
    shown_.xPos = right ? centre - distance_ / 2 : centre + distance_ / 2;
    opponent_.xPos = right ? shown_.xPos + distance_ : shown_.xPos - distance_;
    opponent_.facingRight = !right;
    shown_.yPos = opponent_.yPos = g_GroundLevel;
}

const workbench::entry* workbench::current() const {
    if (entries_.empty()) return nullptr;
    return &entries_[index_];
}

std::string workbench::entryName() const {
    const entry* e = current();
    return e ? e->name : std::string();
}

bool workbench::entryIsMove() const {
    const entry* e = current();
    return e && e->isMove;
}

int workbench::frameCount() const {
    const entry* e = current();
    return e && e->frames ? static_cast<int>(e->frames->frames.size()) : 0;
}

const spriteFrame* workbench::shownFrame() const {
    return shown_.current();
}

void workbench::step(int by) {
    setPlaying(false);
    const int count = frameCount();
    if (count <= 0) return;
    shown_.frame = ((shown_.frame + by) % count + count) % count;
    shown_.lastTick = static_cast<int>(seams::ticks());
}

void workbench::setPlaying(bool on) {
    playing_ = on;
    shown_.animating = on ? 1 : 0;
    // Play resumes with the whole pause of the frame shown.
    shown_.lastTick = static_cast<int>(seams::ticks());
}

bool workbench::runPass() {
    const bool going = pollEvents();
    update();
    render();
    return going;
}

bool workbench::pollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            quit_ = true;
        else if (event.type == SDL_KEYDOWN)
            handleKey(event.key.keysym);
    }
    return !quit_;
}

void workbench::handleKey(const SDL_keysym& key) {
    const int count = entryCount();
    switch (key.sym) {
    case SDLK_ESCAPE:
    case SDLK_q:
        quit_ = true;
        break;
    case SDLK_DOWN:
    case SDLK_PAGEDOWN:
        if (count > 0) show((index_ + 1) % count, 0);
        break;
    case SDLK_UP:
    case SDLK_PAGEUP:
        if (count > 0) show((index_ + count - 1) % count, 0);
        break;
    case SDLK_TAB: {
        // To the first move from an animation, to the first animation from a move.
        const bool toMoves = !entryIsMove();
        for (int i = 0; i < count; ++i)
            if (entries_[i].isMove == toMoves) {
                show(i, 0);
                break;
            }
        break;
    }
    case SDLK_RIGHT:
    case SDLK_PERIOD:
        step(1);
        break;
    case SDLK_LEFT:
    case SDLK_COMMA:
        step(-1);
        break;
    case SDLK_SPACE:
        setPlaying(!playing_);
        break;
    case SDLK_f:
        shown_.facingRight = !shown_.facingRight;
        placeFighters();
        break;
    case SDLK_o:
        opponentShown_ = !opponentShown_;
        break;
    case SDLK_b:
        boxesShown_ = !boxesShown_;
        break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        moveOpponent(-10);
        break;
    case SDLK_EQUALS:
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
        moveOpponent(10);
        break;
    case SDLK_LEFTBRACKET:
        moveOpponent(-1);
        break;
    case SDLK_RIGHTBRACKET:
        moveOpponent(1);
        break;
    case SDLK_s:
    case SDLK_F12:
        screenshot();
        break;
    case SDLK_r:
        reload({}, true);
        break;
    default:
        break;
    }
}

void workbench::update() {
    const Uint32 now = seams::ticks();
    if (now - lastPoll_ >= pollInterval) {
        lastPoll_ = now;
        checkForChanges();
    }
}

void workbench::checkForChanges() {
    std::vector<std::string> changed = watcher_.poll();
    if (!changed.empty()) reload(changed, false);
}

void workbench::reload(const std::vector<std::string>& changed, bool forced) {
    const Uint32 began = seams::ticks();
    if (forced) {
        terminal_ << "reloading " << dataFolder_ << "\n";
    } else {
        terminal_ << "changed:";
        const size_t listed = std::min<size_t>(changed.size(), 5);
        for (size_t i = 0; i < listed; ++i)
            terminal_ << " " << changed[i];
        if (changed.size() > listed) terminal_ << " and " << changed.size() - listed << " more";
        terminal_ << "\n";
    }

    pending_.insert(pending_.end(), changed.begin(), changed.end());
    dataReport report = dataReport::check(dataFolder_);
    report.print(terminal_);
    errors_ = report.errors;
    if (!forced && snapshot_) {
        // Held back when the changes since the shown state brought errors
        // of their own: more errors in the changed files (or the index and
        // move files above them) than the shown state had there.
        std::vector<const dataReport::finding*> now = report.errorsAbout(pending_, dataFolder_);
        if (now.size() > shownReport_.errorsAbout(pending_, dataFolder_).size()) {
            // Name an error the shown state did not have.
            const dataReport::finding* fresh = now.front();
            for (const dataReport::finding* f : now)
                if (!shownReport_.has(f->text)) {
                    fresh = f;
                    break;
                }
            say("kept the last good state: " + fresh->text, true);
            return;
        }
    }

    std::unique_ptr<characterSnapshot> fresh;
    try {
        stopGuard guard;
        fresh = characterSnapshot::load(dataFolder_);
    } catch (const loadStopped& stop) {
        std::string message = stop.message;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
            message.pop_back();
        say("kept the last good state: the game would stop: " + message, true);
        return;
    } catch (const std::exception& failure) {
        say(std::string("kept the last good state: ") + failure.what(), true);
        return;
    }
    swapIn(std::move(fresh));
    shownReport_ = report;
    pending_.clear();
    say("reloaded in " + std::to_string(seams::ticks() - began) + " ms: " + report.summary,
        errors_ > 0);
}

void workbench::say(const std::string& message, bool problem) {
    status_ = message;
    statusIsProblem_ = problem;
    terminal_ << message << "\n";
    terminal_.flush();
}

std::string workbench::screenshot() {
    if (!screen_) return "";
    std::string path = shotFolder_ + "/" + fileSafe(entryName()) + "-" +
                       std::to_string(shown_.frame) + (shown_.facingRight ? "" : "-left") + ".bmp";
    if (SDL_SaveBMP(screen_, path.c_str()) != 0) {
        say("screenshot failed: " + path + ": " + SDL_GetError(), true);
        return "";
    }
    say("screenshot: " + path, false);
    return path;
}

bool workbench::damageReaches() const {
    // The game's own contact test: the opponent's body against the damage box.
    return SquareCollider(opponent_.getCBox(), shown_.getDBox()).collisionCheck();
}

std::vector<std::string> workbench::infoLines() const {
    std::vector<std::string> lines;
    const entry* e = current();
    if (!e) {
        lines.push_back("nothing loaded from " + dataFolder_ + "/" + characterSnapshot::character);
        return lines;
    }
    const int count = frameCount();
    std::string first = std::string(e->isMove ? "move " : "animation ") +
                        std::to_string(index_ + 1) + "/" + std::to_string(entryCount()) + " " +
                        e->name + "   ";
    const spriteFrame* f = shownFrame();
    if (!f) {
        lines.push_back(first + "no frames (check its folder and info file)");
    } else {
        const std::vector<std::string>& files = snapshot_->fileNames(e->frames);
        const std::string file =
            shown_.frame < static_cast<int>(files.size()) ? files[shown_.frame] : std::string("?");
        const int shownFor = static_cast<int>(static_cast<float>(f->pause) * fighterSpeed);
        lines.push_back(first + "frame " + std::to_string(shown_.frame + 1) + " of " +
                        std::to_string(count) + ": " + file + "   pause " +
                        std::to_string(f->pause) + " x3 = " + std::to_string(shownFor) + " ms   " +
                        (playing_ ? "playing" : "paused") + "   facing " +
                        (shown_.facingRight ? "right" : "left"));
        lines.push_back("anchor " + point(f->offsetX, f->offsetY) + "   body " +
                        box(f->colX1, f->colY1, f->colX2, f->colY2) + "   damage box " +
                        box(f->dmgX1, f->dmgY1, f->dmgX2, f->dmgY2) + "   damage " +
                        std::to_string(f->damage) + "   hit type " + std::to_string(f->hitType));
        std::string particles;
        for (const std::string& line : f->partNames) {
            spawnPoint spawn = readSpawn(line);
            particles += (particles.empty() ? "" : "; ") + spawn.name + " " +
                         std::to_string(spawn.dx) + " " + std::to_string(spawn.dy);
        }
        lines.push_back("sound " + f->soundName + "   particles " +
                        (particles.empty() ? std::string("none") : particles) + "   step " +
                        std::to_string(f->moveX) + " forward, " + std::to_string(f->moveY) + " up");
    }
    if (e->move) {
        const moveInfo& m = *e->move;
        const std::string keys = moveTable::keys(m.command);
        lines.push_back("command " + m.command + " (" +
                        (keys.empty() ? std::string("no button completes it") : keys) +
                        ")   link " + m.linkMove + " from frame " + std::to_string(m.linkFrame) +
                        "   cancel " + m.fromMove + " from frame " + std::to_string(m.fromFrame) +
                        "   condition " + m.condition + " (" + moveTable::place(m.condition) + ")");
    } else {
        lines.push_back("an animation: no command, link, cancel or condition");
    }
    std::string opponent = "opponent hidden";
    if (opponentShown_) {
        opponent = "opponent " + std::to_string(distance_) + " px away: ";
        const spriteFrame* shown = shownFrame();
        const bool noBox = !shown || (shown->dmgX1 == shown->dmgX2 && shown->dmgY1 == shown->dmgY2);
        // A frame without a damage box still has a point the game tests; it
        // only matters when that point lands on the opponent.
        if (damageReaches())
            opponent += "damage box reaches its body";
        else if (noBox)
            opponent += "no damage box on this frame";
        else if (cornerRule::crossesLikePlus(opponent_.getCBox(), shown_.getDBox()))
            // The game finds a touch only through a corner inside the other box.
            opponent += "damage box overlaps its body, but no corner of either lies inside the "
                        "other: the game's corner test misses it";
        else
            opponent += "damage box misses its body";
    }
    lines.push_back(opponent + "   errors " + std::to_string(errors_));
    return lines;
}

std::string workbench::caption() const {
    // The facts of the frame and the move; the opponent line stays on screen.
    std::vector<std::string> lines = infoLines();
    if (lines.size() > 1) lines.pop_back();
    std::string text = "workbench:";
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? " | " : " ") + lines[i];
    return text;
}

void workbench::render() {
    if (!screen_) return;
    if (snapshot_ && snapshot_->stage) {
        SDL_BlitSurface(snapshot_->stage, nullptr, screen_, nullptr);
    } else {
        overlayPainter::fill(screen_, 0, 0, screen_->w, screen_->h,
                             overlayPainter::colour(screen_, emptyStage));
    }
    if (snapshot_) {
        // Time runs as in a pass of the game: the frame clocks step, then
        // the frames are drawn.
        if (opponentShown_) opponent_.stepFrame();
        shown_.stepFrame();
        if (opponentShown_) opponent_.draw();
        shown_.draw();
        drawParticles();
        if (boxesShown_) drawOverlays();
    }
    drawText();
    const std::string now = caption();
    if (now != shownCaption_) {
        shownCaption_ = now;
        SDL_WM_SetCaption(now.c_str(), "workbench");
    }
}

void workbench::drawParticles() {
    const spriteFrame* f = shownFrame();
    if (!f || !snapshot_) return;
    const bool right = shown_.facingRight;
    for (const std::string& line : f->partNames) {
        // Where the game puts a particle a fighter spawns: the offsets from
        // the fighter's anchor, x forward and y up.
        spawnPoint spawn = readSpawn(line);
        const int x = right ? shown_.xPos + spawn.dx : shown_.xPos - spawn.dx;
        const int y = shown_.yPos - spawn.dy;
        auto found = snapshot_->particles.find(spawn.name);
        if (found != snapshot_->particles.end()) {
            CSprite preview;
            preview.base = found->second.get();
            preview.screenSurf = screen_;
            preview.animating = 0;
            preview.adjustPos(x, y, right);
            preview.drawD(right);
            // The box the game tests against the opponent's body.
            if (boxesShown_)
                overlayPainter::outline(screen_, preview.getColBox(right),
                                        overlayPainter::colour(screen_, spawnColour));
        }
        if (boxesShown_) {
            overlayPainter::cross(screen_, x, y, 3, overlayPainter::colour(screen_, spawnColour));
            // The name with a dark shadow, readable over any art.
            bitmapFont::draw(screen_, x + 6, y + 4, spawn.name,
                             overlayPainter::colour(screen_, panelColour));
            bitmapFont::draw(screen_, x + 5, y + 3, spawn.name,
                             overlayPainter::colour(screen_, spawnColour));
        }
    }
}

void workbench::drawOverlays() {
    const Uint32 body = overlayPainter::colour(screen_, bodyColour);
    if (opponentShown_ && opponent_.current())
        overlayPainter::outline(screen_, opponent_.getCBox(), body);
    const spriteFrame* f = shownFrame();
    if (f) {
        overlayPainter::outline(screen_, shown_.getCBox(), body);
        // A damage box without damage is drawn dashed: the game draws it
        // only when the frame does damage.
        const bool hasBox = f->dmgX1 != f->dmgX2 || f->dmgY1 != f->dmgY2;
        if (f->damage > 0 || hasBox)
            overlayPainter::outline(screen_, shown_.getDBox(),
                                    overlayPainter::colour(screen_, damageColour), f->damage <= 0);
    }
    overlayPainter::cross(screen_, shown_.xPos, shown_.yPos, 7,
                          overlayPainter::colour(screen_, anchorColour));
}

void workbench::drawText() {
    const Uint32 panel = overlayPainter::colour(screen_, panelColour);
    const Uint32 text = overlayPainter::colour(screen_, textColour);
    const Uint32 problem = overlayPainter::colour(screen_, problemColour);
    const int line = bitmapFont::cellHeight;
    overlayPainter::fill(screen_, 0, 0, screen_->w, margin * 2 + line * panelLines, panel);
    std::vector<std::string> lines = infoLines();
    int y = margin;
    for (const std::string& shown : lines) {
        bitmapFont::draw(screen_, margin, y, shown, text);
        y += line;
    }
    if (errors_ > 0) {
        const std::string count = std::to_string(errors_) + (errors_ == 1 ? " error" : " errors");
        bitmapFont::draw(screen_, screen_->w - margin - bitmapFont::width(count), margin, count,
                         problem);
    }
    if (!status_.empty())
        bitmapFont::draw(screen_, margin, margin + line * (panelLines - 1), status_,
                         statusIsProblem_ ? problem : text);
    const int helpTop = screen_->h - line - margin;
    overlayPainter::fill(screen_, 0, helpTop - margin, screen_->w, line + margin * 2, panel);
    bitmapFont::draw(screen_, margin, helpTop, keyHelp, text);
}
